// Code page 936 (GBK) text: the library's Chinese strings and the code names of
// project files, and UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvid::core {

// Code page 936 bytes as UTF-8; bytes that are not code page 936 become U+FFFD.
std::string Cp936ToUtf8(std::string_view bytes);
// The bytes of a fixed field up to its first NUL (at most capacity bytes), as UTF-8.
std::string Cp936FieldToUtf8(const char* field, std::size_t capacity);
// UTF-8 text in code page 936; a character code page 936 cannot hold becomes "?".
std::string Utf8ToCp936(std::string_view text);

}  // namespace korvid::core
