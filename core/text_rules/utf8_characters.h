// Well-formed UTF-8, byte by byte: what a reader needs to tell UTF-8 text from
// text in another encoding and to cut it between characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvid::core {

// The length (1 to 4) of the well-formed UTF-8 character at the start of text; 0
// when text is empty or does not start with one (a stray continuation byte, an
// overlong form, a surrogate, a value above U+10FFFF, a cut sequence).
constexpr std::size_t Utf8CharacterLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, narrowed for some first bytes
    unsigned char high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        low = first == 0xE0 ? 0xA0 : 0x80;   // no overlong form
        high = first == 0xED ? 0x9F : 0xBF;  // no surrogate
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        low = first == 0xF0 ? 0x90 : 0x80;   // no overlong form
        high = first == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Whether text is well-formed UTF-8 throughout (the empty text is).
constexpr bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

// The length of the longest start of well-formed UTF-8 text that holds at most
// maxBytes bytes and ends between two characters.
constexpr std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = Utf8CharacterLength(text.substr(length));
        if (next == 0 || length + next > maxBytes) {
            break;
        }
        length += next;
    }
    return length;
}

}  // namespace korvid::core
