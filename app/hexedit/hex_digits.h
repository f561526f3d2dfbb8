// How a byte is shown: its two upper-case hexadecimal digits (also the digits
// it is copied with) and its cell in the character column.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvid::hexedit {

inline char HighDigit(uint8_t byte) {
    return "0123456789ABCDEF"[byte >> 4];
}
inline char LowDigit(uint8_t byte) {
    return "0123456789ABCDEF"[byte & 0x0F];
}

// The characters the editor draws: the printable ASCII range. It holds the hex
// digits, the space between pairs and every character the character column
// shows.
inline constexpr char kFirstDrawnChar = 0x20;
inline constexpr char kLastDrawnChar = 0x7E;
inline constexpr std::size_t kDrawnCharCount = kLastDrawnChar - kFirstDrawnChar + 1;

// The character column shows a printable byte as itself and any other as ".".
inline char CharacterCell(uint8_t byte) {
    return byte >= kFirstDrawnChar && byte <= kLastDrawnChar ? static_cast<char>(byte) : '.';
}

}  // namespace korvid::hexedit
