#include "FirmwareUpdate.h"

#include "korvid.h"

#include <system_error>

namespace korvid::workbench {

std::thread StartFirmwareUpdate(FirmwareUpdateState& state, ProgrammerOperations& operations,
                                FirmwareProgressSink progress) {
    state.result = 0;
    state.busy.store(1, std::memory_order_release);
    try {
        return std::thread([&state, &operations, progress = std::move(progress)] {
            state.result = operations.UpdateFW(progress);
            state.busy.store(0, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        // No thread: the programmer was not touched; report a failed transfer.
        state.result = RC_COMM_FAIL;
        state.busy.store(0, std::memory_order_release);
        return {};
    }
}

}  // namespace korvid::workbench
