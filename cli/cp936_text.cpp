// The library's code page 936 texts as UTF-8, through iconv.
#include "part_lookup.h"

#include <cerrno>

#include <iconv.h>

namespace korvid::cli {

std::string Cp936ToUtf8(const char* text) {
    std::string in = text == nullptr ? "" : text;
    const iconv_t converter = ::iconv_open("UTF-8", "GBK");
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
            out += "\xEF\xBF\xBD";  // skip one undecodable byte
            ++source;
            --sourceLeft;
        }
    }
    ::iconv_close(converter);
    return out;
}

}  // namespace korvid::cli
