#include "hex_viewport.h"

#include <algorithm>
#include <utility>

namespace korvid::hexedit {

void HexViewport::ApplyLayout(const Layout& layout) {
    layout_ = layout;
    topRow_ = std::min(topRow_, layout_.maxTopRow);
    horzScrollPx_ = std::min(horzScrollPx_, layout_.maxHorzScrollPx);
}

void HexViewport::SetTopRow(uint32_t row) {
    if (!layout_.multiLine) {
        return;
    }
    topRow_ = std::min(row, layout_.maxTopRow);
}

void HexViewport::SetHorzScroll(int64_t pixels) {
    horzScrollPx_ = std::clamp<int64_t>(pixels, 0, layout_.maxHorzScrollPx);
}

void HexViewport::ScrollRows(int64_t deltaRows) {
    const int64_t row = std::max<int64_t>(static_cast<int64_t>(topRow_) + deltaRows, 0);
    SetTopRow(static_cast<uint32_t>(std::min<int64_t>(row, UINT32_MAX)));
}

void HexViewport::ScrollPixels(int64_t deltaPx) {
    SetHorzScroll(std::max<int64_t>(horzScrollPx_ + deltaPx, 0));
}

void HexViewport::EnsureVisible(uint32_t firstOffset, uint32_t lastOffset) {
    const int64_t n = layout_.bytesPerRow;
    const int64_t a = firstOffset;
    const int64_t b = lastOffset;
    const int64_t first = static_cast<int64_t>(topRow_) * n;
    const int64_t span = static_cast<int64_t>(layout_.fullRows) * n;
    const int64_t limit = first + span;
    // The row that makes b the last full row.
    const auto rowEndingAt = [&](int64_t offset) {
        return static_cast<uint32_t>(std::max<int64_t>(offset - span + n, 0) / n);
    };

    if (!(a <= first && b >= limit)) {
        if (b - a > span) {
            SetTopRow(a > first ? static_cast<uint32_t>(a / n) : rowEndingAt(b));
        } else if (a < first) {
            SetTopRow(static_cast<uint32_t>(a / n));
        } else if (b > limit) {
            SetTopRow(rowEndingAt(b));
        }
    }

    const int64_t w = layout_.charWidthPx;
    const int64_t left = layout_.textRect.left;
    const int64_t right = layout_.textRect.right;
    const int64_t hexLeft = ColumnLeftPx(layout_.hexXPx);
    int64_t xa = hexLeft + 3 * w * (a % n);
    int64_t xb = hexLeft + w * (3 * (b % n) + 2);
    if (xa > xb) {
        std::swap(xa, xb);
    }
    if (xa > left && xb >= right) {
        SetHorzScroll(horzScrollPx_ + xb - (right - left));
    } else if (xa < left && xb < right) {
        SetHorzScroll(horzScrollPx_ + xa - left);
    }
}

CaretPosition HexViewport::HitTest(PointPx point, uint32_t dataLength) const {
    const int64_t w = layout_.charWidthPx;
    const int64_t h = layout_.charHeightPx;
    const int64_t n = layout_.bytesPerRow;
    const int64_t inset = layout_.multiLine ? kTextInsetPx : 0;
    // Half a cell of rounding: the right half of a digit belongs to the next cell.
    int64_t x = point.x - inset + horzScrollPx_ + w / 2;
    int64_t y = point.y - layout_.textRect.top;
    y = std::clamp<int64_t>(y, 0, h * layout_.visibleRows);
    x = std::clamp<int64_t>(x, layout_.hexXPx, layout_.hexXPx + layout_.HexTextWidthPx());

    const int64_t cell = (x - layout_.hexXPx) / w;
    const bool high = cell % 3 == 0;
    const int64_t offset = (y / h + topRow_) * n + cell / 3;
    if (offset >= dataLength) {
        return {dataLength - 1, false};
    }
    return {static_cast<uint32_t>(offset), high};
}

std::optional<RectPx> HexViewport::CaretRect(CaretPosition caret) const {
    const int64_t n = layout_.bytesPerRow;
    const int64_t w = layout_.charWidthPx;
    const int64_t h = layout_.charHeightPx;
    const int64_t first = static_cast<int64_t>(topRow_) * n;
    const int64_t end = (static_cast<int64_t>(topRow_) + layout_.visibleRows) * n;
    const int64_t offset = caret.offset;
    if (offset < first || offset >= end) {
        return std::nullopt;
    }
    const int64_t k = (offset - first) / n;
    const int64_t c = (offset - first) % n;
    const int64_t height =
        (k == static_cast<int64_t>(layout_.visibleRows) - 1 ? layout_.lastRowHeightPx : h) - 1;
    const int64_t left = layout_.textRect.left;
    const int64_t right = layout_.textRect.right;
    int64_t x = ColumnLeftPx(layout_.hexXPx) + w * (3 * c + (caret.highNibble ? 0 : 1));
    const int64_t y = layout_.textRect.top + k * h + 1;
    int64_t width = w;
    if (x + w <= left - 2 || x > right) {
        return std::nullopt;
    }
    // A caret cut by the text's left or right edge keeps 2 px beyond it.
    if (x < left - 2) {
        width = w + (x - left) + 2;
        x = left - 2;
    }
    if (x + width > right + 2) {
        width = right - x + 2;
    }
    return RectPx{x, y, x + width, y + height};
}

ScrollBarRange HexViewport::VerticalBar() const {
    if (!layout_.multiLine || layout_.maxTopRow == 0) {
        return {};
    }
    return {true, static_cast<int64_t>(layout_.maxTopRow) + layout_.fullRows - 1, layout_.fullRows,
            topRow_, 1};
}

ScrollBarRange HexViewport::HorizontalBar() const {
    if (!layout_.multiLine || layout_.maxHorzScrollPx == 0) {
        return {};
    }
    const int64_t page = layout_.textRect.Width();
    return {true, layout_.maxHorzScrollPx + page - 1, page, horzScrollPx_, layout_.charWidthPx};
}

DrawnRows HexViewport::RowsToDraw(uint32_t dataLength) const {
    if (dataLength == 0) {
        return {};
    }
    const uint64_t n = layout_.bytesPerRow;
    const uint64_t end = (static_cast<uint64_t>(topRow_) + layout_.visibleRows) * n;
    const uint64_t last = std::min<uint64_t>(end, dataLength - 1);
    if (static_cast<uint64_t>(topRow_) * n > last) {
        return {};
    }
    return {false, topRow_, static_cast<uint32_t>(last)};
}

int64_t HexViewport::ColumnLeftPx(int64_t columnXPx) const {
    return layout_.textRect.left + columnXPx - horzScrollPx_;
}

int64_t HexViewport::RowTopPx(uint32_t row) const {
    return layout_.textRect.top +
           (static_cast<int64_t>(row) - static_cast<int64_t>(topRow_)) * layout_.charHeightPx;
}

}  // namespace korvid::hexedit
