// The firmware images of the simulated programmers: clearly synthetic, never for
// hardware, as large as the programmers' own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid::sim {

inline constexpr size_t kHidFirmwareImageBytes = 13796;
inline constexpr size_t kPipeFirmwareImageBytes = 8698;

// A long jump at the reset vector, a text marker saying what it is, then a counting
// pattern.
std::vector<uint8_t> SyntheticFirmwareImage(size_t bytes);

}  // namespace korvid::sim
