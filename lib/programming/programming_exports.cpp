// The exported programmer operations and their progress callback: C in, C++
// inside, no exception out.
#include "korvid_ext.h"
#include "programming/operations.h"
#include "programming/progress.h"

uint8_t UpdateMCU(JobRecord* job, uint32_t icpMode, uint32_t toTarget) {
    try {
        return korvid::programming::updateMcu(job, icpMode != 0, toTarget != 0);
    } catch (...) {
        return RC_COMM_FAIL;
    }
}

uint8_t DumpMCUInfo(uint8_t* destination) {
    try {
        return korvid::programming::dumpMcuInfo(destination);
    } catch (...) {
        return RC_COMM_FAIL;
    }
}

uint8_t UpdateFW(void) {
    try {
        return korvid::programming::updateFirmware();
    } catch (...) {
        return RC_COMM_FAIL;
    }
}

void KorvidSetProgressCallback(KorvidProgressCallback callback, void* context) {
    korvid::programming::setProgressCallback(callback, context);
}
