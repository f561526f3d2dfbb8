#include "hex_cursor.h"

#include <algorithm>

namespace korvid::hexedit {

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
