// The code image operations of a load: laying a file's bytes over the current
// image, and the 16-bit byte sum shown beside it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace korvid::core {

// A new image of max(current length, insertAddress + file length) bytes: 0xFF
// everywhere, then all of current from offset 0, then file at insertAddress.
std::vector<uint8_t> OverlayImage(std::span<const uint8_t> current, std::span<const uint8_t> file,
                                  uint32_t insertAddress);

// The sum of all bytes modulo 65536.
uint16_t ImageChecksum(std::span<const uint8_t> image);

}  // namespace korvid::core
