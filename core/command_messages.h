// The message each programming command shows for a result code.
#pragma once

#include "messages.h"

#include <cstdint>

namespace korvid::core {

// "Update Target" and "Update Programmer"; success included.
const TextPair& UpdateResultText(uint8_t result);
// "Dump Target Info" failures (success shows only a status text).
const TextPair& DumpFailureText(uint8_t result);

}  // namespace korvid::core
