// One character between code page 936 and UTF-8 by the system's own tables: the
// part of cp936_text that differs between Linux (iconv) and Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvid::core {

// The UTF-8 of one code page 936 character that is not ASCII (the byte 0x80, or a
// lead and a trail byte); nullopt where the code page has no character.
std::optional<std::string> Cp936CharacterToUtf8(std::string_view character);

// The code page 936 bytes of one well-formed UTF-8 character that is not ASCII;
// nullopt when the code page cannot hold it.
std::optional<std::string> Utf8CharacterToCp936(std::string_view character);

}  // namespace korvid::core
