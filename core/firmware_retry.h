// A programmer operation that may meet a programmer with other firmware: the
// re-flash is asked for, never done silently. The dialog program asks in a message
// box, the command-line tool on a terminal or by its command line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace korvid::core {

// Runs call. While it answers RC_FIRMWARE_MISMATCH, asks askToReflash: when that
// declines, the result is nullopt; otherwise runs reflash, whose failure (a result
// other than RC_OK) is the result, and after a good re-flash runs call again.
std::optional<uint8_t> RunWithFirmwareRetry(const std::function<uint8_t()>& call,
                                            const std::function<bool()>& askToReflash,
                                            const std::function<uint8_t()>& reflash);

}  // namespace korvid::core
