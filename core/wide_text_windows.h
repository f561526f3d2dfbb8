// Text between UTF-8, which the job logic and the workbench speak, and UTF-16,
// which Windows' own calls take.
#pragma once

#include <string>
#include <string_view>

namespace korvid::core {

// Invalid sequences on either side become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace korvid::core
