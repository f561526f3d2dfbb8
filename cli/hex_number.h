// Numbers shown in hexadecimal, as the tool prints addresses, checksums and codes.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::cli {

// "0x" and upper-case hexadecimal digits, zero-padded to digits (none for 0).
std::string Hex(uint32_t value, int digits);

}  // namespace korvid::cli
