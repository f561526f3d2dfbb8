// Code page 936 (GBK), byte by byte: where its characters begin and end. A byte
// below 0x80 is ASCII, 0x80 is one character on its own (the euro sign), 0x81 to
// 0xFE lead a double-byte character whose second byte is 0x40 to 0xFE except
// 0x7F, and 0xFF is no character.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvid::core {

constexpr bool IsCp936LeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

constexpr bool IsCp936TrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// The length of the character at the start of bytes: 2 for a lead byte followed
// by a trail byte, otherwise 1 (a lone lead byte or 0xFF counts as one byte that
// is no character); 0 for no bytes.
constexpr std::size_t Cp936CharacterLength(std::string_view bytes) {
    if (bytes.empty()) {
        return 0;
    }
    const bool pair = bytes.size() >= 2 && IsCp936LeadByte(static_cast<unsigned char>(bytes[0])) &&
                      IsCp936TrailByte(static_cast<unsigned char>(bytes[1]));
    return pair ? 2 : 1;
}

// The length of the longest start of bytes that holds at most maxBytes bytes and
// ends between two characters: a cut there never splits a double-byte character.
constexpr std::size_t Cp936CutLength(std::string_view bytes, std::size_t maxBytes) {
    std::size_t length = 0;
    while (length < bytes.size()) {
        const std::size_t next = Cp936CharacterLength(bytes.substr(length));
        if (length + next > maxBytes) {
            break;
        }
        length += next;
    }
    return length;
}

}  // namespace korvid::core
