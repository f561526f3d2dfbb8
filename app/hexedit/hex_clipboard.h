// The two clipboard forms of a hex editor selection: the "BinaryData" block
// (32-bit little-endian count, then the bytes) and the text of hexadecimal pairs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::hexedit {

// The name under which the binary form is registered with the clipboard.
inline constexpr std::string_view kBinaryDataFormat = "BinaryData";
inline constexpr std::size_t kBinaryDataHeaderBytes = 4;

// Hexadecimal pairs separated by single spaces, one line per row, each line
// ended by "\n". A selection of more than bytesPerRow + 1 bytes is aligned with
// the rows on screen: its first line is led by three spaces per column before
// firstOffset. selected holds the bytes from firstOffset on.
std::string BuildCopyText(std::span<const uint8_t> selected, uint32_t firstOffset,
                          uint32_t bytesPerRow);

std::vector<uint8_t> BuildBinaryDataBlock(std::span<const uint8_t> selected);

// The bytes a "BinaryData" block carries. A block too short for its header
// carries nothing; one shorter than its count says carries only what it really
// holds, so nothing past the block is ever read.
std::span<const uint8_t> ParseBinaryDataBlock(std::span<const uint8_t> block);

}  // namespace korvid::hexedit
