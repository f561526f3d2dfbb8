// Code page 936 characters through iconv, whose GBK tables agree with Windows'
// code page 936 except in the ranges Windows maps to private-use characters.
#include "cp936_code_page.h"

#include <iconv.h>

namespace korvid::core {
namespace {

// bytes converted whole from one encoding to another; nullopt when iconv cannot
// convert every byte.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view bytes) {
    const iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(bytes);
    char* source = in.data();
    std::size_t sourceLeft = in.size();
    char buffer[16];  // a character takes at most 4 bytes either way
    char* target = buffer;
    std::size_t targetLeft = sizeof buffer;
    const bool converted = ::iconv(converter, &source, &sourceLeft, &target, &targetLeft) !=
                               static_cast<std::size_t>(-1) &&
                           sourceLeft == 0;
    ::iconv_close(converter);
    if (!converted) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(target - buffer));
}

}  // namespace

std::optional<std::string> Cp936CharacterToUtf8(std::string_view character) {
    return Convert("UTF-8", "GBK", character);
}

std::optional<std::string> Utf8CharacterToCp936(std::string_view character) {
    return Convert("GBK", "UTF-8", character);
}

}  // namespace korvid::core
