// A hex editor core with an 8 × 16 px character cell, as the tests use it.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

#include "hex_edit_core.h"

namespace korvid::hexedit::testing {

inline constexpr int64_t kCharWidthPx = 8;
inline constexpr int64_t kCharHeightPx = 16;

inline constexpr KeyModifiers kPlain{};
inline constexpr KeyModifiers kShift{.shift = true};

// Client size of a multi-line control whose text rectangle is width × height.
inline int64_t ClientForTextPx(int64_t textPx) {
    return textPx + 2 * kTextInsetPx;
}

// Bytes 0, 1, 2, ... (mod 256).
inline std::vector<uint8_t> CountingBytes(std::size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

// A focused multi-line core holding bytes, 16 bytes per row, no address or
// character column, with a text rectangle of textWidthPx × visibleRows rows.
inline HexEditCore MakeCore(const std::vector<uint8_t>& bytes, uint32_t fullRows,
                            int64_t textWidthPx = 1000, bool multiLine = true) {
    HexEditCore core(multiLine);
    core.SetCharMetrics(kCharWidthPx, kCharHeightPx);
    core.SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    core.SetClientSize(
        multiLine ? ClientForTextPx(textWidthPx) : textWidthPx,
        multiLine ? ClientForTextPx(fullRows * kCharHeightPx) : fullRows * kCharHeightPx);
    core.SetFocused(true);
    return core;
}

}  // namespace korvid::hexedit::testing
