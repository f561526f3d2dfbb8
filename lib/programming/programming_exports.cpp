// The exported programmer operations and their progress callback: C in, C++
// inside, no exception out (one thrown, e.g. out of memory, ends the operation as
// a failed transfer). Each call and its return are written to a running wire trace.
#include "korvid_ext.h"
#include "link/trace/api_call.h"
#include "programming/operations.h"
#include "programming/progress.h"
#include "programming/trace_fields.h"

using namespace korvid;

uint8_t UpdateMCU(JobRecord* job, uint32_t icpMode, uint32_t toTarget) {
    trace::ApiCall call("UpdateMCU",
                        [&] { return programming::UpdateMcuCallFields(job, icpMode, toTarget); });
    uint8_t result = RC_COMM_FAIL;
    try {
        result = programming::updateMcu(job, icpMode != 0, toTarget != 0);
    } catch (...) {
    }
    call.returned(result, [&] { return programming::UpdateMcuReturnFields(job); });
    return result;
}

uint8_t DumpMCUInfo(uint8_t* destination) {
    trace::ApiCall call("DumpMCUInfo");
    uint8_t result = RC_COMM_FAIL;
    try {
        result = programming::dumpMcuInfo(destination);
    } catch (...) {
    }
    call.returned(result, [&] { return programming::DumpReturnFields(result, destination); });
    return result;
}

uint8_t UpdateFW(void) {
    trace::ApiCall call("UpdateFW");
    uint8_t result = RC_COMM_FAIL;
    try {
        result = programming::updateFirmware();
    } catch (...) {
    }
    call.returned(result);
    return result;
}

void KorvidSetProgressCallback(KorvidProgressCallback callback, void* context) {
    programming::setProgressCallback(callback, context);
}
