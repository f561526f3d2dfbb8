// Conversion of Intel HEX text into a flat code image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace korvid::core {

// No image grows beyond this many bytes, whatever extended address records say:
// data placed at or above it is dropped.
inline constexpr std::size_t kIntelHexImageLimit = 16u * 1024u * 1024u;

// Converts the records of text into an image whose gaps read 0xFF. The image ends
// with the last byte that a data record placed (empty when no data record was read).
//
// Lines are split at runs of CR and LF; lines not starting with ':' are skipped.
// A record that is malformed (odd digit count, length other than its byte count
// plus five) or whose checksum is wrong ends the conversion silently, as does an
// end-of-file, start-address or unknown record: the records before it stay.
// Extended segment (2) and linear (4) address records move the 64 KiB window; a
// data record running past the end of its window is kept whole (the image grows).
std::vector<uint8_t> ParseIntelHex(std::string_view text);

}  // namespace korvid::core
