// What kind of code file a file is: by the extension of its name, as "Load" and
// the tool decide, and by its content, so that Intel HEX text under another name
// is never taken for raw bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvid::core {

enum class CodeFormat {
    IntelHex,  // converted into an image with 0xFF gaps
    Binary,    // the file's bytes are the image
    Project,   // a KPJ project file
};

// The text after the last dot of the file name (not of a directory), upper-cased
// (ASCII letters only); empty when the name has no dot.
std::string UpperExtension(std::string_view path);

// HEX, IHX (what sdcc writes) and IHEX in any case are Intel HEX, KPJ is a
// project, every other extension and none is raw binary.
CodeFormat FormatOfExtension(std::string_view extension);
CodeFormat FormatOfPath(std::string_view path);

// True when the first line of text that is not empty (lines end at CR or LF) is
// a well-formed Intel HEX record: ':', an even number of hexadecimal digits, a
// length of its byte count plus five and a checksum that brings the byte sum to 0,
// and nothing else. This is exactly the record that ParseIntelHex starts from: a
// line it would skip (a byte-order mark, blanks, a comment) or stop at (trailing
// blanks) is not taken for Intel HEX.
bool LooksLikeIntelHex(std::span<const uint8_t> bytes);

}  // namespace korvid::core
