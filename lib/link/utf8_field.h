// Copying text into the fixed character fields of the exported records.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvid::link {

// Copies UTF-8 text into field[0 .. fieldSize) with a terminating NUL. Text that
// does not fit is cut before the first character that would not fit whole, so the
// field never ends in the middle of a multi-byte sequence. A NUL inside the text
// ends it. Nothing is written when fieldSize is 0.
void CopyUtf8Field(std::string_view text, char* field, size_t fieldSize);

}  // namespace korvid::link
