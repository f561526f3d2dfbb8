// The value of one hexadecimal digit character, for every reader of hexadecimal
// text: Intel HEX detection, the dialog's hexadecimal fields, the digits typed
// into the hex editor, the tool's serial counter file and the escapes of wire
// trace files.
#pragma once

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

}  // namespace korvid::core
