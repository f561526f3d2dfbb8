// Code page 936 characters through Windows' own code page tables. Characters the
// code page cannot hold are not replaced by a look-alike (no best fit): they are
// refused, as iconv refuses them.
#include "cp936_code_page.h"

#include "wide_text.h"

#include <windows.h>

#include <iterator>

namespace korvid::core {
namespace {

constexpr UINT kCp936 = 936;

// One character in UTF-16; "" when the code page has none for these bytes.
std::wstring WideOf(UINT codePage, std::string_view character) {
    const int size = static_cast<int>(character.size());
    wchar_t wide[4];
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, character.data(), size,
                                           wide, static_cast<int>(std::size(wide)));
    return std::wstring(wide, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

std::optional<std::string> Cp936CharacterToUtf8(std::string_view character) {
    const std::wstring wide = WideOf(kCp936, character);
    if (wide.empty()) {
        return std::nullopt;
    }
    return Utf8FromWide(wide);
}

std::optional<std::string> Utf8CharacterToCp936(std::string_view character) {
    const std::wstring wide = WideOf(CP_UTF8, character);
    if (wide.empty()) {
        return std::nullopt;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           static_cast<int>(wide.size()), bytes, sizeof bytes,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    return std::string(bytes, static_cast<std::size_t>(length));
}

}  // namespace korvid::core
