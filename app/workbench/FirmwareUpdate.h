// The programmer re-flash on a worker thread. The GUI thread sets busy, starts the
// worker and polls busy; the worker stores the result of UpdateFW and then clears
// busy with release ordering, so a reader that sees busy 0 (acquire) sees the result.
// The re-flash's progress events go to a sink on the worker thread.
#pragma once

#include "ProgrammerOperations.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace korvid::workbench {

struct FirmwareUpdateState {
    std::atomic<uint32_t> busy{0};
    uint8_t result = 0;  // written by the worker before it clears busy

    bool Busy() const { return busy.load(std::memory_order_acquire) != 0; }
};

// Sets busy to 1 and result to 0, then starts the worker that calls UpdateFW with
// progress. The caller joins the returned thread (if joinable) once busy is clear.
// When no thread can be started, busy is cleared at once with result RC_COMM_FAIL.
std::thread StartFirmwareUpdate(FirmwareUpdateState& state, ProgrammerOperations& operations,
                                FirmwareProgressSink progress);

}  // namespace korvid::workbench
