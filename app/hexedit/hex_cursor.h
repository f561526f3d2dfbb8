// Caret and selection of the hex editor: where the caret stands, the selected
// inclusive range, and the anchor and moving end of a Shift or mouse selection.
#pragma once

#include <cstdint>

#include "hex_geometry.h"

namespace korvid::hexedit {

// A caret move requested by a key: a signed byte delta and the nibble to land on.
struct CaretMove {
    int64_t deltaBytes = 0;
    bool highNibble = true;
    bool operator==(const CaretMove&) const = default;
};

// Where a move of delta bytes from caret lands in a buffer of dataLength (not 0)
// bytes: past the end gives the last byte's low nibble, before the start offset
// 0's high nibble; otherwise the requested nibble.
CaretPosition ClampMove(uint32_t caretOffset, CaretMove move, uint32_t dataLength);

class HexCursor {
public:
    CaretPosition Caret() const { return caret_; }
    void SetCaret(CaretPosition caret) { caret_ = caret; }

    bool HasSelection() const { return start_ != kNoOffset && end_ != kNoOffset; }
    uint32_t SelectionStart() const { return start_; }
    uint32_t SelectionEnd() const { return end_; }
    uint32_t Anchor() const { return anchor_; }
    uint32_t MovingEnd() const { return movingEnd_; }

    // Stores a selection as given (the caller clamps it); anchor and moving end stay.
    void SetSelectionRange(uint32_t start, uint32_t end);
    // Forgets selection, anchor and moving end.
    void ClearAll();
    void SetAnchor(uint32_t offset) { anchor_ = offset; }
    void ClearMovingEnd() { movingEnd_ = kNoOffset; }
    // The moving end follows offset; the selection spans anchor to offset.
    void ExtendTo(uint32_t offset);

private:
    CaretPosition caret_;
    uint32_t start_ = kNoOffset;
    uint32_t end_ = kNoOffset;
    uint32_t anchor_ = kNoOffset;
    uint32_t movingEnd_ = kNoOffset;
};

}  // namespace korvid::hexedit
