/* The exported header used from C: the catalogue and project-file exports through
 * the shared library. Exits non-zero, naming the check, when one fails. */
#define _POSIX_C_SOURCE 200809L /* mkstemp, close, unlink */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "korvid.h"

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

static void checkProjectFile(void) {
    char path[] = "/tmp/korvid-c-api-XXXXXX";
    const int descriptor = mkstemp(path);
    CHECK(descriptor >= 0);
    if (descriptor < 0) {
        return;
    }
    close(descriptor);

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

    CHECK(LoadKPJInfo("/nonexistent/korvid.kpj", &loaded, &icpFlag) == RC_FILE_OPEN);
    unlink(path);
}

int main(void) {
    checkCatalogue();
    checkProjectFile();
    if (failures != 0) {
        fprintf(stderr, "%d check(s) failed\n", failures);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
