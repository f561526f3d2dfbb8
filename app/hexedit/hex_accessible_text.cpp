#include "hex_accessible_text.h"

#include <algorithm>

#include "hex_digit.h"
#include "hex_digits.h"
#include "hex_edit_core.h"
#include "hex_viewport.h"

namespace korvid::hexedit {
namespace {

int64_t TextLength(std::size_t dataLength) {
    return dataLength == 0 ? 0 : static_cast<int64_t>(dataLength) * kTextCharsPerByte - 1;
}

// value in hexadecimal with at least digits digits, after "0x".
std::string Hex(uint32_t value, uint32_t digits) {
    return "0x" + core::HexText(value, static_cast<int>(digits));
}

}  // namespace

HexAccessibleText::HexAccessibleText(std::span<const uint8_t> data, uint32_t bytesPerRow)
    : data_(data), bytesPerRow_(std::max<uint32_t>(bytesPerRow, 1)) {}

int64_t HexAccessibleText::Length() const {
    return TextLength(data_.size());
}

std::string HexAccessibleText::Text(TextSpan span) const {
    const int64_t start = std::clamp<int64_t>(span.start, 0, Length());
    const int64_t end = std::clamp<int64_t>(span.end, start, Length());
    std::string text;
    text.reserve(static_cast<std::size_t>(end - start));
    for (int64_t index = start; index < end; ++index) {
        const auto byte = static_cast<std::size_t>(index / kTextCharsPerByte);
        switch (index % kTextCharsPerByte) {
            case 0:
                text += HighDigit(data_[byte]);
                break;
            case 1:
                text += LowDigit(data_[byte]);
                break;
            default:
                text += (byte + 1) % bytesPerRow_ == 0 ? '\n' : ' ';
                break;
        }
    }
    return text;
}

TextSpan HexAccessibleText::UnitAt(int64_t index, TextUnit unit) const {
    const int64_t length = Length();
    if (length == 0) {
        return {};
    }
    index = std::clamp<int64_t>(index, 0, length - 1);
    int64_t unitChars = 1;
    switch (unit) {
        case TextUnit::Character:
            unitChars = 1;
            break;
        case TextUnit::Word:
            unitChars = kTextCharsPerByte;
            break;
        case TextUnit::Line:
            unitChars = kTextCharsPerByte * bytesPerRow_;
            break;
        case TextUnit::Whole:
            return {0, length};
    }
    const int64_t start = index / unitChars * unitChars;
    return {start, std::min(start + unitChars, length)};
}

TextSpan HexAccessibleText::UnitBefore(int64_t index, TextUnit unit) const {
    const TextSpan at = UnitAt(index, unit);
    return at.start == 0 ? TextSpan{} : UnitAt(at.start - 1, unit);
}

TextSpan HexAccessibleText::UnitAfter(int64_t index, TextUnit unit) const {
    const TextSpan at = UnitAt(index, unit);
    return at.end >= Length() ? TextSpan{Length(), Length()} : UnitAt(at.end, unit);
}

int64_t CaretIndex(CaretPosition caret) {
    return static_cast<int64_t>(caret.offset) * kTextCharsPerByte + (caret.highNibble ? 0 : 1);
}

CaretPosition CaretAtIndex(int64_t index, uint32_t dataLength) {
    if (index < 0) {
        return {0, true};
    }
    const int64_t byte = index / kTextCharsPerByte;
    if (byte >= dataLength) {
        return {dataLength - 1, false};
    }
    return {static_cast<uint32_t>(byte), index % kTextCharsPerByte == 0};
}

std::optional<TextSpan> SelectionSpan(uint32_t start, uint32_t end) {
    if (start == kNoOffset || end == kNoOffset) {
        return std::nullopt;
    }
    return TextSpan{int64_t{start} * kTextCharsPerByte, int64_t{end} * kTextCharsPerByte + 2};
}

std::optional<ByteRange> BytesOfSpan(TextSpan span, uint32_t dataLength) {
    const int64_t start = std::max<int64_t>(span.start, 0);
    if (span.end <= start || dataLength == 0) {
        return std::nullopt;
    }
    const int64_t first = start / kTextCharsPerByte;
    if (first >= dataLength) {
        return std::nullopt;
    }
    const int64_t last = std::min<int64_t>((span.end - 1) / kTextCharsPerByte, dataLength - 1);
    return ByteRange{static_cast<uint32_t>(first), static_cast<uint32_t>(last)};
}

std::optional<RectPx> CharacterRect(const HexViewport& viewport, int64_t index) {
    if (index < 0) {
        return std::nullopt;
    }
    const Layout& layout = viewport.GetLayout();
    const int64_t n = layout.bytesPerRow;
    const int64_t byte = index / kTextCharsPerByte;
    const int64_t row = byte / n;
    const int64_t top = viewport.TopRow();
    if (row < top || row >= top + layout.visibleRows) {
        return std::nullopt;
    }
    const int64_t w = layout.charWidthPx;
    const int64_t x = viewport.ColumnLeftPx(layout.hexXPx) +
                      w * (kTextCharsPerByte * (byte % n) + index % kTextCharsPerByte);
    const int64_t y = viewport.RowTopPx(static_cast<uint32_t>(row));
    return RectPx{x, y, x + w, y + layout.charHeightPx};
}

std::optional<TextChange> TextChangeBetween(std::span<const uint8_t> before,
                                            std::span<const uint8_t> after, uint32_t bytesPerRow) {
    const HexAccessibleText oldText(before, bytesPerRow);
    const HexAccessibleText newText(after, bytesPerRow);
    if (before.size() != after.size()) {
        return TextChange{0, oldText.Text({0, oldText.Length()}),
                          newText.Text({0, newText.Length()})};
    }
    const auto first = std::mismatch(before.begin(), before.end(), after.begin());
    if (first.first == before.end()) {
        return std::nullopt;
    }
    const auto last = std::mismatch(before.rbegin(), before.rend(), after.rbegin());
    const int64_t firstByte = first.first - before.begin();
    const int64_t lastByte = before.rend() - last.first - 1;
    const TextSpan span{firstByte * kTextCharsPerByte, lastByte * kTextCharsPerByte + 2};
    return TextChange{span.start, oldText.Text(span), newText.Text(span)};
}

AnnouncedCaret AnnouncedCaretOf(const HexEditCore& core) {
    if (!core.HasBytes()) {
        return {};
    }
    const HexCursor& cursor = core.Cursor();
    return {CaretIndex(core.Caret()),
            SelectionSpan(cursor.SelectionStart(), cursor.SelectionEnd())};
}

std::string CaretSummary(const HexEditCore& core) {
    if (!core.HasBytes()) {
        return "No data";
    }
    const uint32_t digits = core.AddressDigits();
    const CaretPosition caret = core.Caret();
    std::string summary = "Offset " + Hex(caret.offset, digits) + ", byte " +
                          Hex(core.Data()[caret.offset], 2) +
                          (caret.highNibble ? ", first digit" : ", second digit");
    const HexCursor& cursor = core.Cursor();
    if (cursor.HasSelection()) {
        const uint32_t count = cursor.SelectionEnd() - cursor.SelectionStart() + 1;
        summary += "; selected " + Hex(cursor.SelectionStart(), digits);
        if (count > 1) {
            summary += " to " + Hex(cursor.SelectionEnd(), digits);
        }
        summary += " (" + std::to_string(count) + (count == 1 ? " byte)" : " bytes)");
    }
    return summary;
}

}  // namespace korvid::hexedit
