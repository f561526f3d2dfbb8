#include "FirmwareUpdate.h"

#include "ProgrammerOperations.h"
#include "korvid.h"

#include <system_error>

namespace korvid::workbench {

std::thread StartFirmwareUpdate(FirmwareUpdateState& state, ProgrammerOperations& operations) {
    state.result = 0;
    state.busy.store(1, std::memory_order_release);
    try {
        return std::thread([&state, &operations] {
            state.result = operations.UpdateFW();
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
