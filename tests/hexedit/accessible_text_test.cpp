// What the hex editor tells assistive technologies: its text, the units a reader
// moves by, caret and selection offsets, character rectangles, text changes and
// the caret summary.
#include <gtest/gtest.h>

#include "hex_accessible_text.h"
#include "hex_edit_fixture.h"

namespace korvid::hexedit {
namespace {

using testing::CountingBytes;
using testing::kCharHeightPx;
using testing::kCharWidthPx;
using testing::MakeCore;

// 20 bytes, 8 a row: "00 01 02 03 04 05 06 07\n08 ... 0F\n10 11 12 13".
class AccessibleText20 : public ::testing::Test {
protected:
    std::vector<uint8_t> bytes_ = CountingBytes(20);
    HexAccessibleText text_{bytes_, 8};
};

TEST_F(AccessibleText20, RowsOfPairsWithLineFeedsBetweenRows) {
    EXPECT_EQ(text_.Length(), 59);
    EXPECT_EQ(text_.Text({0, text_.Length()}),
              "00 01 02 03 04 05 06 07\n08 09 0A 0B 0C 0D 0E 0F\n10 11 12 13");
    EXPECT_EQ(text_.Text({-5, 4}), "00 0");
    EXPECT_EQ(text_.Text({57, 100}), "13");
    EXPECT_EQ(text_.Text({30, 20}), "");
}

TEST_F(AccessibleText20, UnitsTileTheText) {
    EXPECT_EQ(text_.UnitAt(4, TextUnit::Character), (TextSpan{4, 5}));
    EXPECT_EQ(text_.UnitAt(4, TextUnit::Word), (TextSpan{3, 6}));
    EXPECT_EQ(text_.UnitAt(5, TextUnit::Word), (TextSpan{3, 6}));  // the separator is the pair's
    EXPECT_EQ(text_.UnitAt(58, TextUnit::Word), (TextSpan{57, 59}));
    EXPECT_EQ(text_.UnitAt(30, TextUnit::Line), (TextSpan{24, 48}));
    EXPECT_EQ(text_.UnitAt(50, TextUnit::Line), (TextSpan{48, 59}));
    EXPECT_EQ(text_.UnitAt(59, TextUnit::Line), (TextSpan{48, 59}));  // the end: the last line
    EXPECT_EQ(text_.UnitAt(7, TextUnit::Whole), (TextSpan{0, 59}));
    EXPECT_EQ(text_.Text(text_.UnitAt(30, TextUnit::Line)), "08 09 0A 0B 0C 0D 0E 0F\n");

    EXPECT_EQ(text_.UnitBefore(30, TextUnit::Line), (TextSpan{0, 24}));
    EXPECT_EQ(text_.UnitBefore(3, TextUnit::Line), (TextSpan{0, 0}));
    EXPECT_EQ(text_.UnitAfter(4, TextUnit::Word), (TextSpan{6, 9}));
    EXPECT_EQ(text_.UnitAfter(50, TextUnit::Line), (TextSpan{59, 59}));
}

TEST(AccessibleText, EmptyBuffer) {
    const HexAccessibleText text({}, 16);
    EXPECT_EQ(text.Length(), 0);
    EXPECT_EQ(text.Text({0, 10}), "");
    EXPECT_EQ(text.UnitAt(3, TextUnit::Line), (TextSpan{0, 0}));
    EXPECT_EQ(text.UnitAfter(0, TextUnit::Word), (TextSpan{0, 0}));
}

TEST(AccessibleText, SingleLineHasOneLine) {
    const std::vector<uint8_t> bytes = CountingBytes(4);
    const HexAccessibleText text(bytes, 4);
    EXPECT_EQ(text.Text({0, text.Length()}), "00 01 02 03");
    EXPECT_EQ(text.UnitAt(5, TextUnit::Line), (TextSpan{0, 11}));
}

TEST(AccessibleCaret, IndexAndBack) {
    EXPECT_EQ(CaretIndex({5, true}), 15);
    EXPECT_EQ(CaretIndex({5, false}), 16);
    EXPECT_EQ(CaretAtIndex(15, 20), (CaretPosition{5, true}));
    EXPECT_EQ(CaretAtIndex(16, 20), (CaretPosition{5, false}));
    EXPECT_EQ(CaretAtIndex(17, 20), (CaretPosition{5, false}));  // the separator after byte 5
    EXPECT_EQ(CaretAtIndex(100, 20), (CaretPosition{19, false}));
    EXPECT_EQ(CaretAtIndex(-1, 20), (CaretPosition{0, true}));
}

TEST(AccessibleSelection, SpansAndBytes) {
    EXPECT_EQ(SelectionSpan(2, 4), (TextSpan{6, 14}));
    EXPECT_EQ(SelectionSpan(7, 7), (TextSpan{21, 23}));
    EXPECT_FALSE(SelectionSpan(kNoOffset, 3));
    EXPECT_FALSE(SelectionSpan(3, kNoOffset));

    EXPECT_EQ(BytesOfSpan({6, 14}, 20), (ByteRange{2, 4}));
    EXPECT_EQ(BytesOfSpan({7, 8}, 20), (ByteRange{2, 2}));
    EXPECT_EQ(BytesOfSpan({-3, 2}, 20), (ByteRange{0, 0}));
    EXPECT_EQ(BytesOfSpan({50, 100}, 20), (ByteRange{16, 19}));
    EXPECT_FALSE(BytesOfSpan({5, 5}, 20));
    EXPECT_FALSE(BytesOfSpan({9, 4}, 20));
    EXPECT_FALSE(BytesOfSpan({60, 70}, 20));
    EXPECT_FALSE(BytesOfSpan({0, 3}, 0));
}

TEST(AccessibleCharacterRect, CellOfTheCharacterWhileItsRowShows) {
    // 16 bytes a row, no address column, 4 full rows.
    HexEditCore core = MakeCore(CountingBytes(400), 4);
    const int64_t left = kTextInsetPx;
    const int64_t top = kTextInsetPx;
    // Byte 17 is row 1, column 1: its second digit is cell 4, the separator cell 5.
    EXPECT_EQ(CharacterRect(core.Viewport(), CaretIndex({17, false})),
              (RectPx{left + 4 * kCharWidthPx, top + kCharHeightPx, left + 5 * kCharWidthPx,
                      top + 2 * kCharHeightPx}));
    EXPECT_EQ(CharacterRect(core.Viewport(), CaretIndex({17, false}) + 1)->left,
              left + 5 * kCharWidthPx);
    core.SetTopRow(2);
    EXPECT_FALSE(CharacterRect(core.Viewport(), CaretIndex({17, false})));
    EXPECT_EQ(CharacterRect(core.Viewport(), CaretIndex({32, true}))->top, top);
    EXPECT_FALSE(CharacterRect(core.Viewport(), -1));
}

TEST(AccessibleTextChange, FromTheFirstToTheLastChangedByte) {
    const std::vector<uint8_t> before{0, 1, 2, 3, 4};
    EXPECT_FALSE(TextChangeBetween(before, before, 2));
    EXPECT_EQ(TextChangeBetween(before, std::vector<uint8_t>{0, 0x41, 2, 3, 4}, 16),
              (TextChange{3, "01", "41"}));
    // Bytes 1 and 3 changed: the span between them keeps its separators (a row
    // ends after byte 1).
    EXPECT_EQ(TextChangeBetween(before, std::vector<uint8_t>{0, 9, 2, 9, 4}, 2),
              (TextChange{3, "01\n02 03", "09\n02 09"}));
    // A new length replaces the whole text.
    EXPECT_EQ(TextChangeBetween(std::vector<uint8_t>{1, 2}, {}, 16), (TextChange{0, "01 02", ""}));
    EXPECT_EQ(TextChangeBetween({}, std::vector<uint8_t>{0xAB}, 16), (TextChange{0, "", "AB"}));
}

TEST(AccessibleCaretState, CaretAndSelectionAsTold) {
    HexEditCore core = MakeCore(CountingBytes(32), 4);
    EXPECT_EQ(AnnouncedCaretOf(core), (AnnouncedCaret{0, std::nullopt}));
    core.KeyDown(HexKey::Right, testing::kPlain);
    EXPECT_EQ(AnnouncedCaretOf(core), (AnnouncedCaret{1, std::nullopt}));
    core.KeyDown(HexKey::Right, testing::kShift);
    core.KeyDown(HexKey::Right, testing::kShift);
    EXPECT_EQ(AnnouncedCaretOf(core), (AnnouncedCaret{4, TextSpan{0, 5}}));

    core.SetData(nullptr, 0);
    EXPECT_EQ(AnnouncedCaretOf(core), (AnnouncedCaret{0, std::nullopt}));
}

TEST(AccessibleSummary, CaretByteDigitAndSelection) {
    HexEditCore core = MakeCore(CountingBytes(64), 4);
    EXPECT_EQ(CaretSummary(core), "Offset 0x00000000, byte 0x00, first digit");
    core.SetSelection(16, 31, false);
    core.PlaceCaret({0x3C, false});
    EXPECT_EQ(CaretSummary(core),
              "Offset 0x0000003C, byte 0x3C, second digit; selected 0x00000010 to 0x0000001F "
              "(16 bytes)");
    core.SetSelection(5, 5, false);
    core.SetAddressDigits(4);
    EXPECT_EQ(CaretSummary(core),
              "Offset 0x003C, byte 0x3C, second digit; selected 0x0005 (1 byte)");

    core.SetData(nullptr, 0);
    EXPECT_EQ(CaretSummary(core), "No data");
    const uint8_t none = 0;
    core.SetData(&none, 0);
    EXPECT_EQ(CaretSummary(core), "No data");
}

}  // namespace
}  // namespace korvid::hexedit
