// The visible window onto the rows: vertical scroll in rows, horizontal scroll
// in pixels, and the queries that map between offsets and client pixels
// (caret rectangle, hit test, the rows a paint must draw, scroll-bar ranges).
#pragma once

#include <cstdint>
#include <optional>

#include "hex_geometry.h"
#include "hex_layout.h"

namespace korvid::hexedit {

// One scroll bar in window-system terms: the scrolled extent runs from 0 to
// rangeMax inclusive, page is the part in view, position the first unit shown,
// lineStep what an arrow of the bar scrolls (a row, a character).
struct ScrollBarRange {
    bool shown = false;
    int64_t rangeMax = 0;
    int64_t page = 0;
    int64_t position = 0;
    int64_t lineStep = 0;
    bool operator==(const ScrollBarRange&) const = default;
};

// The rows one paint draws: from firstRow while a row's first offset does not
// exceed lastOffset. Empty when there is nothing to draw.
struct DrawnRows {
    bool empty = true;
    uint32_t firstRow = 0;
    uint32_t lastOffset = 0;
};

class HexViewport {
public:
    // Takes a new layout and clamps the scroll positions to its maxima.
    void ApplyLayout(const Layout& layout);
    const Layout& GetLayout() const { return layout_; }

    uint32_t TopRow() const { return topRow_; }
    int64_t HorzScrollPx() const { return horzScrollPx_; }

    // Multi-line only (a single-line control keeps row 0); clamped to the maximum.
    void SetTopRow(uint32_t row);
    void SetHorzScroll(int64_t pixels);
    void ScrollRows(int64_t deltaRows);
    void ScrollPixels(int64_t deltaPx);
    // Scrolls so that the inclusive byte range first..last shows.
    void EnsureVisible(uint32_t firstOffset, uint32_t lastOffset);

    // The byte and nibble under a client point; the nearest byte of the hex
    // column on the clamped row, the last byte's low nibble below the data.
    // dataLength must not be 0.
    CaretPosition HitTest(PointPx point, uint32_t dataLength) const;

    // The block caret's rectangle for a caret position, or none when its row is
    // out of view or it lies wholly beyond the text's left or right edge.
    std::optional<RectPx> CaretRect(CaretPosition caret) const;

    ScrollBarRange VerticalBar() const;
    ScrollBarRange HorizontalBar() const;

    DrawnRows RowsToDraw(uint32_t dataLength) const;
    // Client x where a column at layout position columnXPx starts.
    int64_t ColumnLeftPx(int64_t columnXPx) const;
    // Client y of the top of a row (which must be at or below the top row).
    int64_t RowTopPx(uint32_t row) const;

private:
    Layout layout_;
    uint32_t topRow_ = 0;
    int64_t horzScrollPx_ = 0;
};

}  // namespace korvid::hexedit
