// Pixel geometry shared by the hex editor's layout, viewport and mouse rules.
// Rectangles follow the window-system convention: right and bottom are exclusive.
#pragma once

#include <cstdint>

namespace korvid::hexedit {

struct PointPx {
    int64_t x = 0;
    int64_t y = 0;
    bool operator==(const PointPx&) const = default;
};

struct RectPx {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
    bool Contains(PointPx p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const RectPx&) const = default;
};

// The all-ones offset: no selection end, no anchor.
inline constexpr uint32_t kNoOffset = 0xFFFFFFFFu;

// A caret position: a byte and which of its two digits.
struct CaretPosition {
    uint32_t offset = 0;
    bool highNibble = true;
    bool operator==(const CaretPosition&) const = default;
};

}  // namespace korvid::hexedit
