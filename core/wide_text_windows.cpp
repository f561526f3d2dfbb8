#include "wide_text.h"

#include <windows.h>

namespace korvid::core {

std::wstring WideFromCodePage(unsigned codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int bytes = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), size);
    return wide;
}

std::string CodePageFromWide(unsigned codePage, std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int units = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), units, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::wstring WideFromUtf8(std::string_view text) {
    return WideFromCodePage(CP_UTF8, text);
}

std::string Utf8FromWide(std::wstring_view text) {
    return CodePageFromWide(CP_UTF8, text);
}

}  // namespace korvid::core
