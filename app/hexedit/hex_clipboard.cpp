#include "hex_clipboard.h"

#include <algorithm>

#include "hex_digits.h"

namespace korvid::hexedit {

std::string BuildCopyText(std::span<const uint8_t> selected, uint32_t firstOffset,
                          uint32_t bytesPerRow) {
    const std::size_t n = std::max<uint32_t>(bytesPerRow, 1);
    std::string text;
    if (selected.empty()) {
        return text;
    }
    // Separator cells are never written, so they stay spaces on every line; the
    // cells before the first line's start column stay spaces too.
    std::string line(3 * n, ' ');
    std::size_t column = selected.size() - 1 > n ? firstOffset % n : 0;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        line[3 * column] = HighDigit(selected[i]);
        line[3 * column + 1] = LowDigit(selected[i]);
        ++column;
        if (column == n || i + 1 == selected.size()) {
            text.append(line, 0, 3 * column - 1);
            text.push_back('\n');
            column = 0;
        }
    }
    return text;
}

std::vector<uint8_t> BuildBinaryDataBlock(std::span<const uint8_t> selected) {
    const auto count = static_cast<uint32_t>(selected.size());
    std::vector<uint8_t> block(kBinaryDataHeaderBytes + selected.size());
    for (std::size_t i = 0; i < kBinaryDataHeaderBytes; ++i) {
        block[i] = static_cast<uint8_t>(count >> (8 * i));
    }
    std::copy(selected.begin(), selected.end(), block.begin() + kBinaryDataHeaderBytes);
    return block;
}

std::span<const uint8_t> ParseBinaryDataBlock(std::span<const uint8_t> block) {
    if (block.size() < kBinaryDataHeaderBytes) {
        return {};
    }
    const uint32_t count = static_cast<uint32_t>(block[0]) | static_cast<uint32_t>(block[1]) << 8 |
                           static_cast<uint32_t>(block[2]) << 16 |
                           static_cast<uint32_t>(block[3]) << 24;
    const std::size_t present = block.size() - kBinaryDataHeaderBytes;
    return block.subspan(kBinaryDataHeaderBytes, std::min<std::size_t>(count, present));
}

}  // namespace korvid::hexedit
