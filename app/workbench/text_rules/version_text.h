// The library version as the caption and the settings path show it.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::workbench {

// "%X.%02X" of the high and the low byte: 0x0710 gives "7.10", 0x0A00 "A.00".
std::string VersionText(uint16_t version);

}  // namespace korvid::workbench
