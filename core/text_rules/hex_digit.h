// Hexadecimal digits for every reader and writer of hexadecimal text. Read: Intel
// HEX detection, the dialog's hexadecimal fields, the digits typed into the hex
// editor, the tool's serial counter file and the escapes of wire trace files.
// Written: the dialog's fields and status, the hex editor's addresses and the
// tool's numbers.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::core {

// 0 to 15 for "0"-"9", "A"-"F" and "a"-"f"; -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// value in upper-case hexadecimal, zero-padded to at least minDigits digits, as
// "%0*X" prints it: at least one digit, and every significant one.
inline std::string HexText(uint32_t value, int minDigits) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < minDigits) {
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    }
    return digits;
}

}  // namespace korvid::core
