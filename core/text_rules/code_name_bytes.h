// The bytes of a code name (JobRecord.codeName, the name in a project file): UTF-8
// when they are well-formed UTF-8 (names saved by earlier versions of this
// system), otherwise code page 936 (names as the Windows program of the design
// and this system write them). The library cuts a name to what a project file
// holds by this rule; the front ends show names by it.
#pragma once

#include "cp936_characters.h"
#include "utf8_characters.h"

#include <cstddef>
#include <string_view>

namespace korvid::core {

// The length of the longest start of name that holds at most maxBytes bytes and
// ends between two characters of the name's encoding.
constexpr std::size_t CodeNameCutLength(std::string_view name, std::size_t maxBytes) {
    return IsUtf8(name) ? Utf8CutLength(name, maxBytes) : Cp936CutLength(name, maxBytes);
}

}  // namespace korvid::core
