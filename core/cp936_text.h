// Text in code page 936 (GBK), the Windows code page of simplified Chinese, in
// which the library keeps its texts and the design's Windows program writes code
// names, and UTF-8, in which this system shows and prints every text. The same
// bytes convert alike on Linux (iconv's tables) and on Windows (the system's
// tables), character by character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvid::core {

// Code page 936 bytes as UTF-8; a byte that begins no code page 936 character (a
// lone lead byte, 0xFF), or a double-byte pair the code page leaves empty or to
// private use, becomes one U+FFFD.
std::string Cp936ToUtf8(std::string_view bytes);

// The bytes of a fixed field up to its first NUL (at most capacity bytes), as UTF-8;
// "" for a null field.
std::string Cp936FieldToUtf8(const char* field, std::size_t capacity);

// UTF-8 text in code page 936; a character code page 936 cannot hold (private-use
// characters included), and a byte that is not well-formed UTF-8, becomes "?".
std::string Utf8ToCp936(std::string_view text);

}  // namespace korvid::core
