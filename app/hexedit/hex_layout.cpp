#include "hex_layout.h"

#include <algorithm>

namespace korvid::hexedit {
namespace {

uint32_t ClampToU32(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

uint32_t EffectiveBytesPerRow(const LayoutInput& input, int64_t availableWidthPx) {
    uint32_t count = input.configuredBytesPerRow;
    if (input.autoFit && input.multiLine) {
        count = AutoFitBytesPerRow(availableWidthPx, input.charWidthPx, input.showChars);
    }
    if (!input.multiLine) {
        count = input.dataLengthBytes;
    }
    return std::max<uint32_t>(count, 1);
}

}  // namespace

uint32_t AutoFitBytesPerRow(int64_t availableWidthPx, int64_t charWidthPx, bool showChars) {
    const int64_t w = std::max<int64_t>(charWidthPx, 1);
    int64_t available = availableWidthPx;
    // With characters a byte costs four cells (three hex, one character); the
    // row's last byte needs three. Without them three cells, the last one two.
    int64_t cellsPerByte = 3;
    if (showChars) {
        available -= kColumnGapPx;
        cellsPerByte = 4;
    }
    if (available < 0) {
        return 1;
    }
    const int64_t perByte = cellsPerByte * w;
    int64_t count = available / perByte;
    if (available % perByte >= (cellsPerByte - 1) * w) {
        ++count;
    }
    return std::max<uint32_t>(ClampToU32(count), 1);
}

Layout ComputeLayout(const LayoutInput& input) {
    Layout out;
    out.multiLine = input.multiLine;
    const bool measured = input.charWidthPx > 0 && input.charHeightPx > 0;
    // Without a measured cell the client counts as empty; a 1 px cell keeps
    // the arithmetic of the other queries defined.
    out.charWidthPx = measured ? input.charWidthPx : 1;
    out.charHeightPx = measured ? input.charHeightPx : 1;
    const int64_t w = out.charWidthPx;
    const int64_t h = out.charHeightPx;

    RectPx text{0, 0, measured ? std::max<int64_t>(input.clientWidthPx, 0) : 0,
                measured ? std::max<int64_t>(input.clientHeightPx, 0) : 0};
    if (input.multiLine) {
        text = {text.left + kTextInsetPx, text.top + kTextInsetPx, text.right - kTextInsetPx,
                text.bottom - kTextInsetPx};
        text.right = std::max(text.right, text.left);
        text.bottom = std::max(text.bottom, text.top);
    }
    out.textRect = text;

    const int64_t heightPx = text.Height();
    out.fullRows = ClampToU32(heightPx / h);
    if (heightPx % h != 0) {
        out.visibleRows = out.fullRows + 1;
        out.lastRowHeightPx = heightPx % h;
    } else {
        out.visibleRows = out.fullRows;
        out.lastRowHeightPx = h;
    }

    out.addressXPx = 0;
    out.addressWidthPx =
        input.showAddress ? static_cast<int64_t>(input.addressDigits) * w + kColumnGapPx : 0;

    const uint32_t n = EffectiveBytesPerRow(input, text.Width() - out.addressWidthPx);
    out.bytesPerRow = n;
    const int64_t hexTextWidthPx = w * (3 * static_cast<int64_t>(n) - 1);
    out.hexXPx = out.addressXPx + out.addressWidthPx;
    out.hexWidthPx = hexTextWidthPx + kColumnGapPx;
    out.contentWidthPx = out.hexXPx + hexTextWidthPx;
    if (input.showChars) {
        out.charsXPx = out.hexXPx + out.hexWidthPx;
        out.charsWidthPx = w * static_cast<int64_t>(n);
        out.contentWidthPx = out.charsXPx + out.charsWidthPx;
    }

    out.totalRows =
        static_cast<uint32_t>((static_cast<uint64_t>(input.dataLengthBytes) + n - 1) / n);
    if (!measured) {
        return out;
    }
    out.maxTopRow = out.totalRows > out.fullRows ? out.totalRows - out.fullRows : 0;
    out.maxHorzScrollPx = out.contentWidthPx > text.Width() ? out.contentWidthPx - text.Width() : 0;
    return out;
}

}  // namespace korvid::hexedit
