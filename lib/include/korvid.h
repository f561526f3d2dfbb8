/*
 * KORVID: programming 8051-family microcontrollers through the USB programmer.
 *
 * The library's whole public interface: nine plain C functions over two records.
 * Every programmer operation is synchronous, opens its link, exchanges and closes
 * the link again before it returns. Results are 8-bit result codes (RC_*).
 * Strings handed out by the library (display name, option descriptions) are
 * bytes of code page 936 (GBK); part and option names are ASCII.
 *
 * The record layouts below are part of the ABI; their offsets are pinned.
 */
#ifndef KORVID_H
#define KORVID_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(KORVID_BUILDING_LIBRARY)
/* The library itself, or code linked with its internals: KORVID.def names the
 * exports of KORVID.dll. */
#define KORVID_API
#else
#define KORVID_API __declspec(dllimport)
#endif
#else
#define KORVID_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of every library operation. */
enum {
    RC_OK = 0x00,
    RC_REFUSED = 0xE0,           /* the programmer refused the command or reported failure */
    RC_NO_DEVICE = 0xE1,         /* no programmer on either link, or no stable handshake */
    RC_RESET_ERROR = 0xE2,       /* the programmer did not re-appear, or its restart failed */
    RC_FIRMWARE_FAIL = 0xE3,     /* checksum or status wrong after a firmware update */
    RC_CHECKSUM = 0xE4,          /* the programmer's image checksum differs from the host's */
    RC_TARGET_LOCKED = 0xE5,     /* the target is locked (older programmer only) */
    RC_FILE_OPEN = 0xE6,         /* the file cannot be opened or created */
    RC_KPJ_FOOTER_SUM = 0xE7,    /* project file: footer sum (or footer length) wrong */
    RC_KPJ_TOOL = 0xE8,          /* project file: tool code is not 3 */
    RC_KPJ_VERSION = 0xE9,       /* project file: version outside 0x0520..0x0710 */
    RC_KPJ_CODE_LENGTH = 0xEA,   /* project file: code length differs from the file's */
    RC_KPJ_CODE_SUM = 0xEB,      /* project file: code sum mismatch */
    RC_KPJ_MAGIC = 0xEC,         /* project file: magic is not "Vostrel. ISP-ICP" */
    RC_FIRMWARE_MISMATCH = 0xED, /* the programmer answers an unexpected firmware identifier */
    RC_NO_RESOURCE = 0xEF,       /* the firmware image is not built into the library */
    RC_COMM_FAIL = 0xF0          /* a transfer was short or failed */
};

/* Catalogue sizes. */
#define KORVID_MAX_OPTIONS 64
#define KORVID_CODE_NAME_SIZE 260
#define KORVID_SERIAL_TEXT_SIZE 12
#define KORVID_DISPLAY_NAME_SIZE 28

/* Programming areas (JobRecord.programArea). */
enum { AREA_AP = 0, AREA_IAP = 1, AREA_ISP = 2, AREA_AP_IAP = 3, AREA_WHOLE_CHIP = 4 };

/* One option of a catalogue entry as the library hands it out. */
typedef struct OptionText {
    const char* name;        /* ASCII, e.g. "HWENW" */
    const char* description; /* cp936, directly after the name's NUL */
} OptionText;

/* One catalogue entry as GetISPInfo / GetICPInfo hand it out. Library-owned. */
typedef struct PartInfo {
    const char* name;
    uint32_t seriesMask; /* exactly one bit: series 0..6 */
    uint32_t flashSize;  /* AP+IAP flash bytes; the ISP boot area starts here */
    uint32_t iapStart;   /* default IAP (data) start, 0 when the part has none */
    uint32_t hasIspMemoryChoice;
    uint32_t hasIapMemoryChoice;
    uint32_t hasHwSettings;
    const char* ispMemoryList; /* comma-separated hexadecimal sizes, e.g. "0" */
    uint32_t optionCount;
    OptionText options[KORVID_MAX_OPTIONS];
} PartInfo;

/* One job. Owned by the caller; the library never keeps a pointer to it. */
typedef struct JobRecord {
    char codeName[KORVID_CODE_NAME_SIZE]; /* NUL-terminated */
    int32_t partIndex;                    /* -1 until a part is selected */
    uint32_t programArea;                 /* AREA_* */
    uint32_t optionStates[2];             /* 64 option bits: [0] bits 0..31, [1] bits 32..63 */
    uint32_t ispMemoryIndex;              /* position in the part's ispMemoryList */
    uint32_t iapMemoryIndex;              /* IAP size in 512-byte units */
    uint32_t hwOptions;                   /* bit 0 HWWIDL, bits 1..3 HWPS */
    uint16_t maxCount;                    /* at most 65530; 0xFFFF when programming a target */
    uint32_t serialFlags;                 /* bit 0 serial number on, bit 1 auto increment */
    uint32_t serialAddress;               /* code address of the 16-byte serial block */
    uint32_t serialNumber;
    char serialText[KORVID_SERIAL_TEXT_SIZE]; /* space padded, no terminator */
    uint32_t codeLength;
    uint8_t* codeBuffer; /* codeLength bytes, owned by the record's owner */
} JobRecord;

/* Copies the display name (cp936, NUL-terminated, 28 bytes) into name, which must
 * hold 28 bytes, and the version 0x0710 into *version. Returns 28. */
KORVID_API uint32_t GetAPInfo(char* name, uint16_t* version);

/* Stores the address of the library-owned ISP catalogue in *parts and returns its
 * entry count (44). Valid while the library is loaded; each call rebuilds it. */
KORVID_API uint32_t GetISPInfo(PartInfo** parts);

/* Stores the address of the library-owned ICP entry in *parts; returns 1 when the
 * ICP catalogue holds an entry, 0 when it is empty (as it is). */
KORVID_API uint32_t GetICPInfo(PartInfo** parts);

/* Programs the target now (toTarget non-zero) or stores the job in the programmer.
 * icpMode non-zero takes partIndex from the ICP catalogue. With serial numbers on,
 * job->serialAddress is advanced by 12. */
KORVID_API uint8_t UpdateMCU(JobRecord* job, uint32_t icpMode, uint32_t toTarget);

/* Reads 256 bytes of target information into destination. */
KORVID_API uint8_t DumpMCUInfo(uint8_t* destination);

/* Re-flashes the programmer's own firmware with the image the library carries. */
KORVID_API uint8_t UpdateFW(void);

/* Writes the job as a KPJ project file. Returns 0 or RC_FILE_OPEN. */
KORVID_API uint8_t SaveKPJ(const char* path, const JobRecord* job, uint32_t icpFlag);

/* Checks a KPJ project file and fills *job from its footer; *icpFlag tells which
 * catalogue job->partIndex indexes. */
KORVID_API uint8_t LoadKPJInfo(const char* path, JobRecord* job, uint32_t* icpFlag);

/* Copies the project's code image (job->codeLength bytes, as LoadKPJInfo returned
 * for the same file) into buffer. */
KORVID_API uint8_t LoadKPJBuffer(const char* path, uint8_t* buffer);

#ifdef __cplusplus
}
#endif

/* ABI: record layouts are pinned. */
#if defined(__cplusplus)
#define KORVID_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define KORVID_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
#define KORVID_PTR (sizeof(void*))
KORVID_STATIC_ASSERT(offsetof(OptionText, description) == KORVID_PTR, "OptionText layout");
KORVID_STATIC_ASSERT(sizeof(OptionText) == 2 * KORVID_PTR, "OptionText size");
KORVID_STATIC_ASSERT(offsetof(PartInfo, name) == 0, "PartInfo.name");
KORVID_STATIC_ASSERT(offsetof(PartInfo, seriesMask) == KORVID_PTR, "PartInfo.seriesMask");
KORVID_STATIC_ASSERT(offsetof(PartInfo, flashSize) == KORVID_PTR + 4, "PartInfo.flashSize");
KORVID_STATIC_ASSERT(offsetof(PartInfo, iapStart) == KORVID_PTR + 8, "PartInfo.iapStart");
KORVID_STATIC_ASSERT(offsetof(PartInfo, hasIspMemoryChoice) == KORVID_PTR + 12,
                     "PartInfo.hasIspMemoryChoice");
KORVID_STATIC_ASSERT(offsetof(PartInfo, hasIapMemoryChoice) == KORVID_PTR + 16,
                     "PartInfo.hasIapMemoryChoice");
KORVID_STATIC_ASSERT(offsetof(PartInfo, hasHwSettings) == KORVID_PTR + 20,
                     "PartInfo.hasHwSettings");
KORVID_STATIC_ASSERT(offsetof(PartInfo, ispMemoryList) == (KORVID_PTR == 8 ? 32 : 28),
                     "PartInfo.ispMemoryList");
KORVID_STATIC_ASSERT(offsetof(PartInfo, optionCount) == (KORVID_PTR == 8 ? 40 : 32),
                     "PartInfo.optionCount");
KORVID_STATIC_ASSERT(offsetof(PartInfo, options) == (KORVID_PTR == 8 ? 48 : 36),
                     "PartInfo.options");
KORVID_STATIC_ASSERT(sizeof(PartInfo) == (KORVID_PTR == 8 ? 48 : 36) + 64 * 2 * KORVID_PTR,
                     "PartInfo size");
KORVID_STATIC_ASSERT(offsetof(JobRecord, codeName) == 0, "JobRecord.codeName");
KORVID_STATIC_ASSERT(offsetof(JobRecord, partIndex) == 260, "JobRecord.partIndex");
KORVID_STATIC_ASSERT(offsetof(JobRecord, programArea) == 264, "JobRecord.programArea");
KORVID_STATIC_ASSERT(offsetof(JobRecord, optionStates) == 268, "JobRecord.optionStates");
KORVID_STATIC_ASSERT(offsetof(JobRecord, ispMemoryIndex) == 276, "JobRecord.ispMemoryIndex");
KORVID_STATIC_ASSERT(offsetof(JobRecord, iapMemoryIndex) == 280, "JobRecord.iapMemoryIndex");
KORVID_STATIC_ASSERT(offsetof(JobRecord, hwOptions) == 284, "JobRecord.hwOptions");
KORVID_STATIC_ASSERT(offsetof(JobRecord, maxCount) == 288, "JobRecord.maxCount");
KORVID_STATIC_ASSERT(offsetof(JobRecord, serialFlags) == 292, "JobRecord.serialFlags");
KORVID_STATIC_ASSERT(offsetof(JobRecord, serialAddress) == 296, "JobRecord.serialAddress");
KORVID_STATIC_ASSERT(offsetof(JobRecord, serialNumber) == 300, "JobRecord.serialNumber");
KORVID_STATIC_ASSERT(offsetof(JobRecord, serialText) == 304, "JobRecord.serialText");
KORVID_STATIC_ASSERT(offsetof(JobRecord, codeLength) == 316, "JobRecord.codeLength");
KORVID_STATIC_ASSERT(offsetof(JobRecord, codeBuffer) == 320, "JobRecord.codeBuffer");
KORVID_STATIC_ASSERT(sizeof(JobRecord) == 320 + KORVID_PTR, "JobRecord size");
#undef KORVID_PTR
#undef KORVID_STATIC_ASSERT

#endif /* KORVID_H */
