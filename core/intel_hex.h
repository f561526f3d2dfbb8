// Conversion of Intel HEX text into a flat code image, refusing a damaged file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korvid::core {

// No image grows beyond this many bytes, whatever extended address records say:
// data placed at or above it is dropped.
inline constexpr std::size_t kIntelHexImageLimit = 16u * 1024u * 1024u;

// Why a record refuses the whole file.
enum class IntelHexProblem {
    NotHexDigit,        // a character after ':' that is not a hexadecimal digit
    OddDigitCount,      // the digits do not pair up into bytes
    LengthMismatch,     // the length byte disagrees with the bytes on the line
    BadChecksum,        // the bytes of the record do not sum to 0
    UnknownRecordType,  // a type other than 0 to 5
};

struct IntelHexError {
    std::size_t line;  // 1-based, as a text editor numbers lines
    IntelHexProblem problem;
};

struct IntelHexImage {
    std::vector<uint8_t> bytes;  // empty when error is set
    std::optional<IntelHexError> error;
};

// Converts the records of text into an image whose gaps read 0xFF. The image ends
// with the last byte that a data record placed (empty when no data record was read).
//
// Lines end at CR LF, LF or a lone CR; an empty line and a line that does not start
// with ':' are skipped. Every record up to the end-of-file record (type 1) must be
// sound, or the whole file is refused with the first bad record's line; what follows
// the end-of-file record is ignored. Start-address records (3 and 5) place nothing.
// Extended segment (2) and linear (4) address records of two data bytes at address 0
// move the 64 KiB window (others of those types are ignored); a data record running
// past the end of its window is kept whole (the image grows).
IntelHexImage ParseIntelHex(std::string_view text);

}  // namespace korvid::core
