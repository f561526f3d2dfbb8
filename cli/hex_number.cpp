#include "hex_number.h"

#include <cstdio>

namespace korvid::cli {

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace korvid::cli
