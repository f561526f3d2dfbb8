// Code page 936 text on Windows, through the system's code page tables (the C
// runtime of mingw has no iconv).
#include "cp936_text.h"
#include "wide_text_windows.h"

#include <windows.h>

#include <cstring>

namespace korvid::core {
namespace {

constexpr UINT kGbk = 936;
constexpr wchar_t kReplacement = 0xFFFD;

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
    const std::wstring wide = WideFromUtf8(text);
    // Character by character (a surrogate pair is one), so that each character the
    // code page cannot hold becomes one "?".
    std::string out;
    std::size_t i = 0;
    while (i < wide.size()) {
        const int units = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
        char encoded[8];
        BOOL replaced = FALSE;
        const int count = WideCharToMultiByte(kGbk, 0, wide.data() + i, units, encoded,
                                              sizeof encoded, nullptr, &replaced);
        if (count > 0 && !replaced) {
            out.append(encoded, static_cast<std::size_t>(count));
        } else {
            out += '?';
        }
        i += static_cast<std::size_t>(units);
    }
    return out;
}

}  // namespace korvid::core
