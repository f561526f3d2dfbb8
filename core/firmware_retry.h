#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace korvid::core {

std::optional<uint8_t> RunWithFirmwareRetry(const std::function<uint8_t()>& call,
                                            const std::function<bool()>& askToReflash,
                                            const std::function<uint8_t()>& reflash);

}  // namespace korvid::core
