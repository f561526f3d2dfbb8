// Code page 936 text on Windows, through the system's code page tables (the C
// runtime of mingw has no iconv).
#include "cp936_text.h"

#include <windows.h>

#include <cstring>

namespace korvid::core {
namespace {

constexpr UINT kGbk = 936;
constexpr wchar_t kReplacement = 0xFFFD;

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int wide = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
    // Character by character, so that each byte sequence the code page cannot
    // decode becomes one U+FFFD whatever the system's own default character is.
    std::wstring wide;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<BYTE>(bytes[i]);
        const std::size_t length = IsDBCSLeadByteEx(kGbk, lead) && i + 1 < bytes.size() ? 2 : 1;
        wchar_t decoded[2];
        const int count = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                              static_cast<int>(length), decoded, 2);
        if (count > 0) {
            wide.append(decoded, static_cast<std::size_t>(count));
        } else {
            wide += kReplacement;
        }
        i += length;
    }
    return Utf8FromWide(wide);
}

std::string Cp936FieldToUtf8(const char* field, std::size_t capacity) {
    if (field == nullptr) {
        return {};
    }
    const void* nul = std::memchr(field, 0, capacity);
    return Cp936ToUtf8(std::string_view(
        field, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field)
                              : capacity));
}

std::string Utf8ToCp936(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int bytes = static_cast<int>(text.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, wide.data(), wideSize);
    const int size = WideCharToMultiByte(kGbk, 0, wide.data(), wideSize, nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kGbk, 0, wide.data(), wideSize, out.data(), size, "?", nullptr);
    return out;
}

}  // namespace korvid::core
