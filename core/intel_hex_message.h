// The message that refuses a damaged Intel HEX file, in both languages.
#pragma once

#include "intel_hex.h"
#include "text_pair.h"

#include <string_view>

namespace korvid::core {

// The whole message for the file at path (UTF-8), naming the line and what is wrong
// with its record.
OwnedTextPair IntelHexErrorMessage(const IntelHexError& error, std::string_view path);

}  // namespace korvid::core
