/* The exported headers used from C: the catalogue and project-file exports, and
 * the programmer list, selection, detection, access check and progress against the
 * simulated programmers that CTest names (KORVID_SIMULATE=hid,pipe,hid), through the
 * shared library. Exits non-zero, naming the check, when one fails. */
#define _POSIX_C_SOURCE 200809L /* mkstemp, close, unlink */

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "korvid.h"
#include "korvid_ext.h"

static int failures = 0;

#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                                   \
        }                                                                                 \
    } while (0)

static void checkCatalogue(void) {
    char name[KORVID_DISPLAY_NAME_SIZE];
    uint16_t version = 0;
    CHECK(GetAPInfo(name, &version) == 28);
    CHECK(version == 0x0710);
    CHECK(memcmp(name, "Vostrel 8051 ISP(R5) \xB1\xE0\xB3\xCC\xC6\xF7", 28) == 0);

    PartInfo* isp = NULL;
    CHECK(GetISPInfo(&isp) == 44);
    CHECK(isp != NULL && strcmp(isp[0].name, "Part A1") == 0);
    CHECK(isp != NULL && strcmp(isp[43].name, "Part B18") == 0);
    CHECK(isp != NULL && isp[0].optionCount == 5);
    CHECK(isp != NULL && strcmp(isp[0].options[3].name, "KEEP IAP-DATA") == 0);
    CHECK(isp != NULL &&
          isp[0].options[3].description == isp[0].options[3].name + strlen("KEEP IAP-DATA") + 1);

    PartInfo* icp = NULL;
    CHECK(GetICPInfo(&icp) == 0);
    CHECK(icp != NULL);
}

/* A new empty file's name in path (at least 4096 bytes); 0 when none was made. */
static int makeTemporaryFile(char* path) {
#if defined(_WIN32)
    char folder[MAX_PATH + 1];
    return GetTempPathA(sizeof folder, folder) != 0 &&
           GetTempFileNameA(folder, "kvd", 0, path) != 0;
#else
    strcpy(path, "/tmp/korvid-c-api-XXXXXX");
    const int descriptor = mkstemp(path);
    if (descriptor < 0) {
        return 0;
    }
    close(descriptor);
    return 1;
#endif
}

static void checkProjectFile(void) {
    char path[4096];
    const int made = makeTemporaryFile(path);
    CHECK(made);
    if (!made) {
        return;
    }

    uint8_t code[] = {0x02, 0x00, 0x03, 0x80, 0xFE};
    JobRecord job;
    memset(&job, 0, sizeof job);
    strcpy(job.codeName, "blink.hex");
    job.partIndex = 42; /* Part B17 */
    job.programArea = AREA_AP_IAP;
    job.optionStates[0] = 1;
    job.codeLength = sizeof code;
    job.codeBuffer = code;
    CHECK(SaveKPJ(path, &job, 0) == RC_OK);

    JobRecord loaded;
    memset(&loaded, 0, sizeof loaded);
    uint32_t icpFlag = 7;
    CHECK(LoadKPJInfo(path, &loaded, &icpFlag) == RC_OK);
    CHECK(icpFlag == 0);
    CHECK(loaded.partIndex == 37); /* the first part with the code: Part B13 */
    CHECK(loaded.programArea == AREA_AP_IAP);
    CHECK(loaded.optionStates[0] == 1);
    CHECK(strcmp(loaded.codeName, "blink.hex") == 0);
    CHECK(loaded.codeLength == sizeof code);

    uint8_t buffer[sizeof code];
    CHECK(LoadKPJBuffer(path, buffer) == RC_OK);
    CHECK(memcmp(buffer, code, sizeof code) == 0);

    KorvidProjectFooter footer;
    memset(&footer, 0x5A, sizeof footer);
    memset(&loaded, 0, sizeof loaded);
    CHECK(KorvidLoadKPJFooter(path, &loaded, &icpFlag, &footer) == RC_OK);
    CHECK(loaded.partIndex == 37 && loaded.codeLength == sizeof code);
    CHECK(footer.codeLength == sizeof code && footer.codeSum == 0x0183);
    CHECK(footer.deviceCode == 0x34);
    CHECK(footer.partsWithDeviceCode[0] == 0);
    CHECK(footer.partsWithDeviceCode[1] == ((1u << (37 - 32)) | (1u << (42 - 32))));
    CHECK(footer.programArea == AREA_AP_IAP + 1 && footer.constant == 8 && footer.toolCode == 3);
    CHECK(footer.version == 0x0710 && footer.footerLength == 53 + 9);
    CHECK(strcmp(footer.magic, "Vostrel. ISP-ICP") == 0);
    CHECK(footer.codeNameLength == 9 && strcmp(footer.codeName, "blink.hex") == 0);
    CHECK(footer.reserved == 0);
    CHECK(KorvidLoadKPJFooter(path, &loaded, &icpFlag, NULL) == RC_OK);
    CHECK(LoadKPJBuffer(path, buffer) == RC_OK);

    CHECK(LoadKPJInfo("/nonexistent/korvid.kpj", &loaded, &icpFlag) == RC_FILE_OPEN);
    remove(path);
}

static void checkExtensionLayouts(void) {
    CHECK(offsetof(KorvidProgrammerInfo, link) == 0);
    CHECK(offsetof(KorvidProgrammerInfo, updateMode) == 4);
    CHECK(offsetof(KorvidProgrammerInfo, accessible) == 8);
    CHECK(offsetof(KorvidProgrammerInfo, reserved) == 12);
    CHECK(offsetof(KorvidProgrammerInfo, location) == 16);
    CHECK(offsetof(KorvidProgrammerInfo, serial) == 48);
    CHECK(offsetof(KorvidProgrammerInfo, node) == 176);
    CHECK(sizeof(KorvidProgrammerInfo) == 240);
    CHECK(offsetof(KorvidDetection, identifier) == 4);
    CHECK(offsetof(KorvidDetection, firmwareMatches) == 8);
    CHECK(offsetof(KorvidDetection, location) == 16);
    CHECK(sizeof(KorvidDetection) == 48);
    CHECK(offsetof(KorvidAccess, link) == 4);
    CHECK(offsetof(KorvidAccess, location) == 8);
    CHECK(offsetof(KorvidAccess, node) == 40);
    CHECK(sizeof(KorvidAccess) == 104);
    CHECK(offsetof(KorvidProgress, phase) == 4);
    CHECK(offsetof(KorvidProgress, done) == 8);
    CHECK(offsetof(KorvidProgress, total) == 12);
    CHECK(offsetof(KorvidProjectFooter, randomWord) == 8);
    CHECK(offsetof(KorvidProjectFooter, ispOptionByte) == 18);
    CHECK(offsetof(KorvidProjectFooter, written) == 22);
    CHECK(offsetof(KorvidProjectFooter, icpConfiguration) == 28);
    CHECK(offsetof(KorvidProjectFooter, partsWithDeviceCode) == 36);
    CHECK(offsetof(KorvidProjectFooter, codeNameLength) == 44);
    CHECK(offsetof(KorvidProjectFooter, magic) == 45);
    CHECK(offsetof(KorvidProjectFooter, codeName) == 62);
    CHECK(offsetof(KorvidProjectFooter, reserved) == 318);
    CHECK(sizeof(KorvidProjectFooter) == 320);
}

static void checkProgrammerList(void) {
    CHECK(KorvidListProgrammers(NULL, 0) == 3);

    KorvidProgrammerInfo list[3];
    memset(list, 0x5A, sizeof list);
    CHECK(KorvidListProgrammers(list, 2) == 3);
    CHECK(list[2].link == 0x5A5A5A5Au); /* beyond the capacity: untouched */

    CHECK(KorvidListProgrammers(list, 3) == 3);
    CHECK(list[0].link == KORVID_LINK_HID && strcmp(list[0].location, "0-1") == 0);
    CHECK(list[1].link == KORVID_LINK_HID && strcmp(list[1].location, "0-3") == 0);
    CHECK(list[2].link == KORVID_LINK_PIPE && strcmp(list[2].location, "0-2") == 0);
    CHECK(strcmp(list[1].serial, "SIM0003") == 0);
    CHECK(strcmp(list[2].node, "sim-pipe-0") == 0);
    CHECK(list[0].updateMode == 0 && list[0].accessible == 1 && list[0].reserved == 0);
}

static void checkSelectionAndDetection(void) {
    KorvidDetection detection;
    CHECK(KorvidSelectProgrammer("0-2") == RC_OK);
    memset(&detection, 0x5A, sizeof detection);
    CHECK(KorvidDetectProgrammer(&detection) == RC_OK);
    CHECK(detection.link == KORVID_LINK_PIPE);
    CHECK(detection.identifier == 0x0551);
    CHECK(detection.firmwareMatches == 1);
    CHECK(detection.reserved == 0);
    CHECK(strcmp(detection.location, "0-2") == 0);

    CHECK(KorvidSelectProgrammer("SIM0003") == RC_OK);
    CHECK(KorvidDetectProgrammer(&detection) == RC_OK);
    CHECK(detection.link == KORVID_LINK_HID && detection.identifier == 0x0603);
    CHECK(strcmp(detection.location, "0-3") == 0);

    CHECK(KorvidSelectProgrammer("SIM9999") == RC_OK);
    CHECK(KorvidDetectProgrammer(&detection) == RC_NO_DEVICE);
    CHECK(detection.link == 0 && detection.location[0] == '\0');
    KorvidAccess access;
    memset(&access, 0x5A, sizeof access);
    CHECK(KorvidCheckAccess(&access) == RC_NO_DEVICE);
    CHECK(access.cause == KORVID_ACCESS_NOT_ATTACHED && access.link == 0);
    CHECK(access.location[0] == '\0' && access.node[0] == '\0');

    char overlong[KORVID_USB_SERIAL_SIZE + 1];
    memset(overlong, 'S', KORVID_USB_SERIAL_SIZE);
    overlong[KORVID_USB_SERIAL_SIZE] = '\0';
    CHECK(KorvidSelectProgrammer(overlong) == RC_NO_DEVICE);
    CHECK(KorvidDetectProgrammer(NULL) == RC_NO_DEVICE); /* still SIM9999 */

    CHECK(KorvidSelectProgrammer(NULL) == RC_OK);
    CHECK(KorvidDetectProgrammer(&detection) == RC_OK);
    CHECK(strcmp(detection.location, "0-1") == 0);
    CHECK(KorvidCheckAccess(&access) == RC_OK);
    CHECK(access.cause == KORVID_ACCESS_OPENS && access.link == KORVID_LINK_HID);
    CHECK(strcmp(access.location, "0-1") == 0 && strcmp(access.node, "sim-hid-0") == 0);
    CHECK(KorvidCheckAccess(NULL) == RC_OK);
}

struct ProgressLog {
    unsigned events;
    unsigned imageEvents;
    KorvidProgress last;
};

static void logProgress(const KorvidProgress* progress, void* context) {
    struct ProgressLog* log = context;
    ++log->events;
    if (progress->phase == KORVID_PHASE_SENDING_IMAGE) {
        ++log->imageEvents;
        log->last = *progress;
    }
}

static void checkProgress(void) {
    uint8_t code[200];
    memset(code, 0x3C, sizeof code);
    JobRecord job;
    memset(&job, 0, sizeof job);
    job.partIndex = 3;
    job.maxCount = 0xFFFF;
    job.codeLength = sizeof code;
    job.codeBuffer = code;

    struct ProgressLog log;
    memset(&log, 0, sizeof log);
    KorvidSetProgressCallback(logProgress, &log);
    CHECK(UpdateMCU(&job, 0, 1) == RC_OK);
    KorvidSetProgressCallback(NULL, NULL);
    CHECK(log.events > 0);
    CHECK(log.imageEvents == 1 + 4); /* the start, then four reports of at most 64 bytes */
    CHECK(log.last.operation == KORVID_OPERATION_UPDATE_MCU);
    CHECK(log.last.done == sizeof code && log.last.total == sizeof code);

    const unsigned before = log.events;
    CHECK(UpdateMCU(&job, 0, 1) == RC_OK);
    CHECK(log.events == before);
}

int main(void) {
    checkCatalogue();
    checkProjectFile();
    checkExtensionLayouts();
    checkProgrammerList();
    checkSelectionAndDetection();
    checkProgress();
    if (failures != 0) {
        fprintf(stderr, "%d check(s) failed\n", failures);
        return EXIT_FAILURE;
    }
    printf("c_api_test: every check passed\n");
    return EXIT_SUCCESS;
}
