// The programmer re-flash on a worker thread. The GUI thread sets busy, starts the
// worker and polls busy; the worker stores the result of UpdateFW and then clears
// busy with release ordering, so a reader that sees busy 0 (acquire) sees the result.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace korvid::workbench {

class ProgrammerOperations;

struct FirmwareUpdateState {
    std::atomic<uint32_t> busy{0};
    uint8_t result = 0;  // written by the worker before it clears busy

    bool Busy() const { return busy.load(std::memory_order_acquire) != 0; }
};

// Sets busy to 1 and result to 0, then starts the worker that calls UpdateFW.
// The caller joins the returned thread (if joinable) once busy is clear. When no
// thread can be started, busy is cleared at once with result RC_COMM_FAIL.
std::thread StartFirmwareUpdate(FirmwareUpdateState& state, ProgrammerOperations& operations);

}  // namespace korvid::workbench
