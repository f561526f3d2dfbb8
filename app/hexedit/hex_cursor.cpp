#include "hex_cursor.h"

#include <algorithm>

namespace korvid::hexedit {
namespace {

// End and Home move far enough to reach either end of any buffer shown.
constexpr int64_t kToEndBytes = 134217727;
constexpr int64_t kToStartBytes = -134217728;

}  // namespace

std::optional<CaretMove> MoveForKey(HexKey key, bool highNibble, uint32_t visibleRows,
                                    uint32_t bytesPerRow) {
    const int64_t n = bytesPerRow;
    // A page keeps one row of context; with no row in view it moves nothing.
    const int64_t pageBytes = static_cast<int64_t>(visibleRows > 0 ? visibleRows - 1 : 0) * n;
    switch (key) {
        case HexKey::PageUp:
            return CaretMove{-pageBytes, highNibble};
        case HexKey::PageDown:
            return CaretMove{pageBytes, highNibble};
        case HexKey::End:
            return CaretMove{kToEndBytes, false};
        case HexKey::Home:
            return CaretMove{kToStartBytes, true};
        case HexKey::Left:
            return highNibble ? CaretMove{-1, false} : CaretMove{0, true};
        case HexKey::Up:
            return CaretMove{-n, highNibble};
        case HexKey::Right:
            return highNibble ? CaretMove{0, false} : CaretMove{1, true};
        case HexKey::Down:
            return CaretMove{n, highNibble};
        case HexKey::Tab:
        case HexKey::Other:
            break;
    }
    return std::nullopt;
}

CaretPosition ClampMove(uint32_t caretOffset, CaretMove move, uint32_t dataLength) {
    const int64_t target = static_cast<int64_t>(caretOffset) + move.deltaBytes;
    if (move.deltaBytes > 0 && target >= dataLength) {
        return {dataLength - 1, false};
    }
    if (target < 0) {
        return {0, true};
    }
    return {static_cast<uint32_t>(target), move.highNibble};
}

void HexCursor::SetSelectionRange(uint32_t start, uint32_t end) {
    start_ = start;
    end_ = end;
}

void HexCursor::ClearAll() {
    start_ = end_ = anchor_ = movingEnd_ = kNoOffset;
}

void HexCursor::ExtendTo(uint32_t offset) {
    movingEnd_ = offset;
    start_ = std::min(anchor_, offset);
    end_ = std::max(anchor_, offset);
}

}  // namespace korvid::hexedit
