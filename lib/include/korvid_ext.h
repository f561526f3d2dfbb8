/*
 * KORVID extensions: functions beside the nine of korvid.h for tools that drive
 * several programmers, tell why a programmer cannot be opened, show progress or
 * record the wire traffic. They change
 * nothing in the nine: names, records and results stay as they are.
 *
 * Every function is callable from C, never throws, and may be called before or
 * after any other function of the library. Like the rest of the library it keeps
 * one state per process and expects one thread at a time.
 */
#ifndef KORVID_EXT_H
#define KORVID_EXT_H

#include "korvid.h"

#if defined(__cplusplus)
extern "C" {
#endif

/* Links. */
#define KORVID_LINK_HID 1u  /* the HID programmer */
#define KORVID_LINK_PIPE 2u /* the older programmer on bulk pipes */

#define KORVID_LOCATION_SIZE 32
#define KORVID_USB_SERIAL_SIZE 128
#define KORVID_NODE_SIZE 64

/*
 * One attached programmer. Strings are NUL-terminated UTF-8, cut at a character
 * boundary when longer than their field.
 */
typedef struct KorvidProgrammerInfo {
    uint32_t link;       /* KORVID_LINK_HID or KORVID_LINK_PIPE */
    uint32_t updateMode; /* 1: a HID programmer waiting in firmware-update mode */
    uint32_t accessible; /* 1: this user may open its device node */
    uint32_t reserved;   /* 0 */
    /* USB bus and port path, e.g. "1-2.3": the same after re-plugging into the same
     * port and when the programmer re-appears in firmware-update mode. */
    char location[KORVID_LOCATION_SIZE];
    char serial[KORVID_USB_SERIAL_SIZE]; /* USB serial string; "" when it has none */
    char node[KORVID_NODE_SIZE];         /* device node, e.g. "/dev/hidraw3" */
} KorvidProgrammerInfo;

/*
 * Lists the attached programmers (vendor 0x4C7B: HID products 0x0323 and, in
 * firmware-update mode, 0x030B; pipe product 0x030D), HID ones first, each link in
 * the order in which an operation without a selection tries them. Fills at most
 * `capacity` records (nothing when list is NULL) and returns how many programmers
 * are attached, which may be more than `capacity`; 0 when none is. Lists every
 * programmer whatever the selection. Opens nothing and sends nothing.
 */
KORVID_API uint32_t KorvidListProgrammers(KorvidProgrammerInfo* list, uint32_t capacity);

/*
 * Selects the programmer that every following operation of this process opens (the
 * nine included), by location or by USB serial string, compared exactly; NULL or ""
 * clears the selection, so the first programmer found is used again. A selection
 * also follows the programmer into firmware-update mode during a re-flash: one made
 * by serial string finds it there by the location where that serial was last seen,
 * since the update mode may show no serial. Without a call the environment variable
 * KORVID_DEVICE, read once at the first operation, gives the selection.
 * Returns RC_OK, or RC_NO_DEVICE when the text is longer than a serial field holds
 * (KORVID_USB_SERIAL_SIZE - 1 bytes; the selection is then unchanged). Selecting a
 * programmer that is not attached is allowed: operations then answer RC_NO_DEVICE.
 */
KORVID_API uint8_t KorvidSelectProgrammer(const char* locationOrSerial);

/* The result of a detection. */
typedef struct KorvidDetection {
    uint32_t link;            /* KORVID_LINK_HID or KORVID_LINK_PIPE; 0 when none answered */
    uint32_t identifier;      /* the firmware identifier the programmer answered */
    uint32_t firmwareMatches; /* 1: the identifier is the one this library's firmware has */
    uint32_t reserved;        /* 0 */
    char location[KORVID_LOCATION_SIZE];
} KorvidDetection;

/*
 * Finds the selected (or first) programmer and asks its firmware identifier, with
 * nothing sent but that handshake; the link is closed again. Returns RC_OK or
 * RC_FIRMWARE_MISMATCH with the detection filled, or RC_NO_DEVICE or RC_COMM_FAIL
 * with it zeroed. detection may be NULL. Like the operations, a successful
 * detection sets the programmer identifier that SaveKPJ writes. A programmer in
 * firmware-update mode does not answer the handshake: it is listed by
 * KorvidListProgrammers but not detected here.
 */
KORVID_API uint8_t KorvidDetectProgrammer(KorvidDetection* detection);

/*
 * Why the programmer that the operations open may or may not be opened:
 *   OPENS         a programmer that this user may open is attached;
 *   NOT_ATTACHED  no programmer is attached (none that the selection names);
 *   DENIED        attached, but this user may not open its device node (Linux: the
 *                 udev rules file 60-korvid.rules is not installed);
 *   NO_DRIVER     attached, but the system offers no device of it to open
 *                 (Windows: its driver is missing).
 */
#define KORVID_ACCESS_OPENS 0u
#define KORVID_ACCESS_NOT_ATTACHED 1u
#define KORVID_ACCESS_DENIED 2u
#define KORVID_ACCESS_NO_DRIVER 3u

typedef struct KorvidAccess {
    uint32_t cause; /* KORVID_ACCESS_* */
    uint32_t link;  /* KORVID_LINK_HID or KORVID_LINK_PIPE; 0 when none is attached */
    char location[KORVID_LOCATION_SIZE]; /* the programmer concerned; "" when none */
    /* Its device node ("/dev/hidraw3", "/dev/bus/usb/001/007"); on Windows the HID
     * device path or, for KORVID_ACCESS_NO_DRIVER, the USB device's instance
     * ("USB\VID_4C7B&PID_030D\SERIAL"); "" when none is attached. */
    char node[KORVID_NODE_SIZE];
} KorvidAccess;

/*
 * Tells whether this user may open the programmer that the operations open, and if
 * not why: after an operation answered RC_NO_DEVICE, whether a programmer is there
 * after all. Looks at the programmers the selection names (every one without a
 * selection) in the order KorvidListProgrammers lists them and describes the first
 * that may be opened (KORVID_ACCESS_OPENS); when none may, the first of them
 * (KORVID_ACCESS_DENIED); when none is listed, the first the system sees on USB
 * without a device to open (KORVID_ACCESS_NO_DRIVER, Windows only); otherwise none
 * (KORVID_ACCESS_NOT_ATTACHED). Real and simulated programmers answer alike. Opens
 * nothing and sends nothing. Returns RC_OK for KORVID_ACCESS_OPENS, RC_NO_DEVICE
 * otherwise; fills access unless it is NULL.
 */
KORVID_API uint8_t KorvidCheckAccess(KorvidAccess* access);

/* Operations and phases of progress events. */
#define KORVID_OPERATION_UPDATE_MCU 1u
#define KORVID_OPERATION_DUMP 2u
#define KORVID_OPERATION_UPDATE_FW 3u

#define KORVID_PHASE_DETECTING 1u       /* finding the programmer, handshake */
#define KORVID_PHASE_SENDING_COMMAND 2u /* the command block */
#define KORVID_PHASE_SENDING_IMAGE 3u   /* the code image; done/total in bytes */
#define KORVID_PHASE_WAITING 4u         /* the programmer works; done in ms, total 0 */
#define KORVID_PHASE_RECEIVING 5u       /* reading the target information */
#define KORVID_PHASE_REFLASH_DATA 6u    /* firmware data; done/total in bytes */
#define KORVID_PHASE_RESTART_WAIT 7u    /* waiting for the programmer to restart; in ms */

typedef struct KorvidProgress {
    uint32_t operation; /* KORVID_OPERATION_* */
    uint32_t phase;     /* KORVID_PHASE_* */
    uint32_t done;
    uint32_t total; /* 0 when not known */
} KorvidProgress;

typedef void (*KorvidProgressCallback)(const KorvidProgress* progress, void* context);

/*
 * Registers the progress callback (NULL removes it) with a context handed back on
 * every call. It is called on the thread that runs the operation, between
 * transfers; it must not call the library. It changes neither the bytes on the
 * wire nor their timing. The operations report:
 *   UpdateMCU    DETECTING; SENDING_COMMAND; SENDING_IMAGE 0/total, then after each
 *                report (HID) or pipe transfer; WAITING for each "still working".
 *   DumpMCUInfo  DETECTING; SENDING_COMMAND; RECEIVING 0/256 and 256/256.
 *   UpdateFW     SENDING_COMMAND (mode switch or boot request); RESTART_WAIT while
 *                the programmer restarts into its update mode; REFLASH_DATA 0/total,
 *                then after each data report (HID) or pipe transfer; RESTART_WAIT
 *                while it restarts with the new firmware.
 */
KORVID_API void KorvidSetProgressCallback(KorvidProgressCallback callback, void* context);

/*
 * Starts recording every report, feature report, pipe transfer, open, close and
 * pause to the file at `path` (appended to; one event per line, flushed per line),
 * replacing any trace already running. The environment variable KORVID_TRACE=FILE
 * starts one at the first operation. Returns RC_OK or RC_FILE_OPEN.
 */
KORVID_API uint8_t KorvidStartTrace(const char* path);
/* Stops and closes the trace; harmless when none runs. */
KORVID_API void KorvidStopTrace(void);

/* Projects. */
#define KORVID_KPJ_MAGIC_SIZE 16
#define KORVID_KPJ_NAME_SIZE 256

/*
 * Every field of a project file's footer as the file stores it, and the catalogue
 * entries that share the project's device code (several parts do: a project stores
 * only the code).
 */
typedef struct KorvidProjectFooter {
    uint32_t codeLength;
    uint16_t codeSum;
    uint16_t deviceCode;           /* a non-zero high byte marks an ICP project */
    uint16_t randomWord;           /* the only field stored least significant byte first */
    uint16_t programmerIdentifier; /* of the programmer last accepted when it was saved */
    uint16_t version;
    uint16_t footerSum;
    uint16_t footerLength;
    uint8_t ispOptionByte;
    uint8_t programArea; /* as stored: AREA_* + 1 */
    uint8_t constant;    /* 8 */
    uint8_t toolCode;    /* 3 */
    uint8_t written[6];  /* years since 2000, month, day, hour, minute, second */
    uint8_t icpConfiguration[8];
    /* Bit k: entry k of the project's catalogue (ISP, or ICP for an ICP project) has the
     * project's device code. [0] bits 0..31, [1] bits 32..63. */
    uint32_t partsWithDeviceCode[2];
    uint8_t codeNameLength;
    char magic[KORVID_KPJ_MAGIC_SIZE + 1]; /* the 16 stored bytes, then NUL */
    char codeName[KORVID_KPJ_NAME_SIZE];   /* codeNameLength stored bytes, then NUL */
    uint16_t reserved;                     /* 0 */
} KorvidProjectFooter;

/*
 * Checks the project file at path exactly as LoadKPJInfo does (the same results in
 * the same order) and fills job and icpFlag as it does, remembering the project for
 * LoadKPJBuffer. On RC_OK it also fills footer (when not NULL) with every field of
 * the footer, from the same reading of the file.
 */
KORVID_API uint8_t KorvidLoadKPJFooter(const char* path, JobRecord* job, uint32_t* icpFlag,
                                       KorvidProjectFooter* footer);

/*
 * How long UpdateMCU waits, in all, while the programmer answers that it is still
 * working, before it gives up with RC_COMM_FAIL: ten minutes, generous for the
 * largest part.
 */
#define KORVID_WORKING_WAIT_LIMIT_MS 600000u

#if defined(__cplusplus)
}
#endif

/* Pinned layouts: the same on every compiler and platform. */
#if defined(__cplusplus)
#define KORVID_EXT_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define KORVID_EXT_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
KORVID_EXT_STATIC_ASSERT(sizeof(KorvidProgrammerInfo) ==
                             16 + KORVID_LOCATION_SIZE + KORVID_USB_SERIAL_SIZE + KORVID_NODE_SIZE,
                         "KorvidProgrammerInfo layout");
KORVID_EXT_STATIC_ASSERT(sizeof(KorvidDetection) == 16 + KORVID_LOCATION_SIZE,
                         "KorvidDetection layout");
KORVID_EXT_STATIC_ASSERT(sizeof(KorvidAccess) == 8 + KORVID_LOCATION_SIZE + KORVID_NODE_SIZE,
                         "KorvidAccess layout");
KORVID_EXT_STATIC_ASSERT(sizeof(KorvidProgress) == 16, "KorvidProgress layout");
KORVID_EXT_STATIC_ASSERT(sizeof(KorvidProjectFooter) == 62 + KORVID_KPJ_NAME_SIZE + 2,
                         "KorvidProjectFooter layout");
#undef KORVID_EXT_STATIC_ASSERT

#endif /* KORVID_EXT_H */
