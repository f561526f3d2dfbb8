// Text between the workbench, which speaks UTF-8, and Windows' own calls, which
// take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace korvid::win32 {

// Invalid sequences on either side become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace korvid::win32
