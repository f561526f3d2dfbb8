// The upper-case hexadecimal digits a byte is shown and copied with.
#pragma once

#include <cstdint>

namespace korvid::hexedit {

inline char HighDigit(uint8_t byte) {
    return "0123456789ABCDEF"[byte >> 4];
}
inline char LowDigit(uint8_t byte) {
    return "0123456789ABCDEF"[byte & 0x0F];
}

}  // namespace korvid::hexedit
