#include "cp936_text.h"

#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace korvid::core {
namespace {

std::string Convert(std::string_view text, const char* to, const char* from, const char* bad) {
    std::string in(text);
    const iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return in;
    }
    std::string out;
    char buffer[256];
    char* source = in.data();
    std::size_t sourceLeft = in.size();
    while (sourceLeft > 0) {
        char* target = buffer;
        std::size_t targetLeft = sizeof buffer;
        const std::size_t done = ::iconv(converter, &source, &sourceLeft, &target, &targetLeft);
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += bad;
            ++source;
            --sourceLeft;
        }
    }
    ::iconv_close(converter);
    return out;
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
    return Convert(bytes, "UTF-8", "GBK", "\xEF\xBF\xBD");
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
    return Convert(text, "GBK", "UTF-8", "?");
}

}  // namespace korvid::core
