#include "firmware_retry.h"

#include "korvid.h"

namespace korvid::core {

std::optional<uint8_t> RunWithFirmwareRetry(const std::function<uint8_t()>& call,
                                            const std::function<bool()>& askToReflash,
                                            const std::function<uint8_t()>& reflash) {
    for (;;) {
        const uint8_t result = call();
        if (result != RC_FIRMWARE_MISMATCH) {
            return result;
        }
        if (!askToReflash()) {
            return std::nullopt;
        }
        if (const uint8_t flashed = reflash(); flashed != RC_OK) {
            return flashed;
        }
    }
}

}  // namespace korvid::core
