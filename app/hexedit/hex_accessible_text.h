// What a hex editor tells assistive technologies (screen readers, magnifiers,
// at-spi automation), decided without a window.
//
// Its text is the hex column read row by row: byte i's two digits are the
// characters 3i and 3i + 1, followed by a space, or by a line feed after the last
// byte of a row; the last byte has nothing after it. So a caret, a selection and
// the bytes under a range of characters map to each other by arithmetic alone,
// whatever the row length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "hex_geometry.h"

namespace korvid::hexedit {

class HexEditCore;
class HexViewport;

// Characters per byte: two digits and the separator after them.
inline constexpr int64_t kTextCharsPerByte = 3;

// Characters start up to (not including) end.
struct TextSpan {
    int64_t start = 0;
    int64_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

// The units a reader moves by. A word is one byte's pair with the separator
// after it, a line one row with its line feed; both tile the text.
enum class TextUnit { Character, Word, Line, Whole };

// An inclusive range of bytes.
struct ByteRange {
    uint32_t first = 0;
    uint32_t last = 0;
    bool operator==(const ByteRange&) const = default;
};

// The text of a byte buffer shown with bytesPerRow bytes on a row.
class HexAccessibleText {
public:
    HexAccessibleText(std::span<const uint8_t> data, uint32_t bytesPerRow);

    int64_t Length() const;
    // The characters of span, cut to the text.
    std::string Text(TextSpan span) const;
    // The unit that holds index (taken into the text); an empty span at 0 for an
    // empty text.
    TextSpan UnitAt(int64_t index, TextUnit unit) const;
    // The unit before, or after, the one that holds index; empty at the text's
    // start, or end, when there is none.
    TextSpan UnitBefore(int64_t index, TextUnit unit) const;
    TextSpan UnitAfter(int64_t index, TextUnit unit) const;

private:
    std::span<const uint8_t> data_;
    uint32_t bytesPerRow_;
};

// The caret's character: the first or second digit of its byte.
int64_t CaretIndex(CaretPosition caret);
// The caret a reader puts at index in a buffer of dataLength (not 0) bytes: a
// separator counts as the second digit of the byte before it, as a click on it
// does; past the end is the last byte's second digit.
CaretPosition CaretAtIndex(int64_t index, uint32_t dataLength);

// The selected characters, from the first digit of start to after the second
// digit of end; none without a selection (either end kNoOffset).
std::optional<TextSpan> SelectionSpan(uint32_t start, uint32_t end);
// The bytes whose digits a span of characters touches, cut to the buffer; none
// for an empty span or one beyond the buffer.
std::optional<ByteRange> BytesOfSpan(TextSpan span, uint32_t dataLength);

// Where a character stands in the client area: its cell in the hex column. None
// when its row is out of view.
std::optional<RectPx> CharacterRect(const HexViewport& viewport, int64_t index);

// A change of the text: at position, removed was replaced by inserted.
struct TextChange {
    int64_t position = 0;
    std::string removed;
    std::string inserted;
    bool operator==(const TextChange&) const = default;
};
// The change from the bytes before an edit to those after it: the span from the
// first to the last byte that differs, or the whole text when the length
// changed. None when nothing changed.
std::optional<TextChange> TextChangeBetween(std::span<const uint8_t> before,
                                            std::span<const uint8_t> after, uint32_t bytesPerRow);

// A caret and selection as told: what a reader is notified of when it changes.
struct AnnouncedCaret {
    int64_t caretIndex = 0;
    std::optional<TextSpan> selection;
    bool operator==(const AnnouncedCaret&) const = default;
};
AnnouncedCaret AnnouncedCaretOf(const HexEditCore& core);

// One sentence on where the caret stands and what is selected, e.g.
// "Offset 0x00000010, byte 0x3C, first digit; selected 0x00000010 to
// 0x0000001F (16 bytes)". Offsets have the address column's digit count.
std::string CaretSummary(const HexEditCore& core);

}  // namespace korvid::hexedit
