#include "windows_text.h"

#include "wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace korvid::cli {

std::wstring WideFromAnsi(std::string_view text) {
    return core::WideFromCodePage(CP_ACP, text);
}

std::string AnsiFromWide(std::wstring_view text) {
    return core::CodePageFromWide(CP_ACP, text);
}

std::wstring QuotedArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(argument);
    }
    // Backslashes are plain except before a quote: there each one is doubled, and
    // the quote escaped. The closing quote counts as a quote too.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(2 * backslashes + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring CommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        line += (line.empty() ? L"" : L" ") + QuotedArgument(argument);
    }
    return line;
}

std::optional<std::size_t> FirstArgumentAlteredBy(unsigned ansiCodePage,
                                                  const std::vector<std::wstring>& arguments) {
    if (ansiCodePage == kUtf8CodePage) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (std::any_of(arguments[i].begin(), arguments[i].end(),
                        [](wchar_t c) { return c >= 0x80; })) {
            return i;
        }
    }
    return std::nullopt;
}

std::string WindowsErrorText(unsigned long error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : "";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    char number[32];
    std::snprintf(number, sizeof number, "Windows error %lu", error);
    return message.empty() ? number : message + ", " + number;
}

}  // namespace korvid::cli
