// Text between this program's narrow strings and Windows' own calls, which take
// UTF-16 (Windows builds only).
#pragma once

#include <string>
#include <string_view>

namespace korvid::core {

// Between a code page's bytes and UTF-16; bytes the code page cannot decode become
// U+FFFD, characters it cannot hold its default character.
std::wstring WideFromCodePage(unsigned codePage, std::string_view text);
std::string CodePageFromWide(unsigned codePage, std::wstring_view text);

// The same for UTF-8, which the workbench and korvid.exe speak.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace korvid::core
