// Texts between the tool and Windows: narrow strings are in the ANSI code page
// (UTF-8 in korvid.exe, whose manifest asks for it), Windows' own calls take
// UTF-16, a command line is one quoted string.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::cli {

// Between the ANSI code page's bytes and UTF-16; bytes it cannot decode become
// U+FFFD, characters it cannot hold its default character.
std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

// One argument quoted so that the C runtime's and CommandLineToArgvW's splitting
// of a command line gives it back unchanged.
std::wstring QuotedArgument(std::wstring_view argument);

// The quoted arguments joined by spaces: the command line of CreateProcess.
std::wstring CommandLine(const std::vector<std::wstring>& arguments);

inline constexpr unsigned kUtf8CodePage = 65001;

// The position of the first argument after the program's own (arguments[0]) that
// is not ASCII while the ANSI code page is not UTF-8: the C runtime hands such an
// argument over converted, perhaps altered. nullopt when every one arrives as given.
std::optional<std::size_t> FirstArgumentAlteredBy(unsigned ansiCodePage,
                                                  const std::vector<std::wstring>& arguments);

// Windows' text for an error (GetLastError), without its line end, and the number.
std::string WindowsErrorText(unsigned long error);

}  // namespace korvid::cli
