// The message each programming command shows for a result code.
#pragma once

#include "TextTable.h"

#include <cstdint>

namespace korvid::workbench {

// "Update Target" and "Update Programmer"; success included.
const TextPair& UpdateResultText(uint8_t result);
// "Dump Target Info" failures (success shows only a status text).
const TextPair& DumpFailureText(uint8_t result);

}  // namespace korvid::workbench
