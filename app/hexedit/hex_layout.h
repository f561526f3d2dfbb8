// Column layout of the hex editor: how many rows fit, how many bytes stand on a
// row, and where the address, hex and character columns lie. Pure: the caller
// passes the client size and the font's character cell (hex_font_cell.h).
#pragma once

#include <cstdint>

#include "hex_geometry.h"

namespace korvid::hexedit {

// Inset of the text rectangle on every side in multi-line style.
inline constexpr int64_t kTextInsetPx = 5;
// Gap at the right of the address and hex columns.
inline constexpr int64_t kColumnGapPx = 5;

struct LayoutInput {
    int64_t clientWidthPx = 0;
    int64_t clientHeightPx = 0;
    // 0 until a font's cell is measured: then nothing fits, no row shows and
    // nothing scrolls.
    int64_t charWidthPx = 0;
    int64_t charHeightPx = 0;
    bool multiLine = true;
    bool showAddress = false;
    bool showChars = false;
    bool autoFit = false;
    uint32_t addressDigits = 8;
    uint32_t configuredBytesPerRow = 16;
    uint32_t dataLengthBytes = 0;
};

struct Layout {
    bool multiLine = true;
    int64_t charWidthPx = 1;
    int64_t charHeightPx = 1;
    // Client rectangle, inset in multi-line style; never of negative size.
    RectPx textRect;
    uint32_t fullRows = 0;
    uint32_t visibleRows = 0;
    // Height of the partly visible last row; the full character height if none.
    int64_t lastRowHeightPx = 0;
    uint32_t bytesPerRow = 1;
    // Column positions relative to the text rectangle's left, before scrolling.
    // The address and hex widths include the 5 px gap; the character column's
    // position and width are 0 when it is hidden.
    int64_t addressXPx = 0;
    int64_t addressWidthPx = 0;
    int64_t hexXPx = 0;
    int64_t hexWidthPx = 0;
    int64_t charsXPx = 0;
    int64_t charsWidthPx = 0;
    int64_t contentWidthPx = 0;
    uint32_t totalRows = 0;
    uint32_t maxTopRow = 0;
    int64_t maxHorzScrollPx = 0;

    // Width of the hex digits and separators of a full row, without the gap.
    int64_t HexTextWidthPx() const { return hexWidthPx - kColumnGapPx; }
};

// Bytes per row under auto-fit for an available width (text width minus the
// address column): as many as fit, the last byte of a row needing only its two
// digit cells (and one character cell). Never less than 1.
uint32_t AutoFitBytesPerRow(int64_t availableWidthPx, int64_t charWidthPx, bool showChars);

Layout ComputeLayout(const LayoutInput& input);

}  // namespace korvid::hexedit
