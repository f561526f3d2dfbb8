// The paint plan: what one paint draws, where, in which role, in which order:
// the three columns and their backgrounds, short last rows, the selection by
// focus and style, addresses, the clip, horizontal scrolling, the caret, and
// that only what is in view is planned.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "hex_edit_fixture.h"
#include "hex_paint_plan.h"

namespace korvid::hexedit {

// Readable failures.
void PrintTo(const RectPx& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
void PrintTo(const PlanFill& fill, std::ostream* out) {
    PrintTo(fill.rect, out);
    *out << " role " << static_cast<int>(fill.role);
}
void PrintTo(const PlanText& text, std::ostream* out) {
    *out << "(" << text.cellTopLeft.x << ", " << text.cellTopLeft.y << ") \"" << text.characters
         << "\" role " << static_cast<int>(text.role);
}

namespace {

using testing::CountingBytes;
using testing::kCharHeightPx;
using testing::kCharWidthPx;
using testing::MakeCore;

constexpr int64_t kW = kCharWidthPx;
constexpr int64_t kH = kCharHeightPx;
constexpr int64_t kLeft = kTextInsetPx;
constexpr int64_t kTop = kTextInsetPx;

// The hex row text of bytes first..last.
std::string HexRow(int first, int last) {
    std::string row;
    for (int i = first; i <= last; ++i) {
        static const char digits[] = "0123456789ABCDEF";
        row += {digits[(i >> 4) & 0xF], digits[i & 0xF], ' '};
    }
    row.pop_back();
    return row;
}

std::vector<PlanFill> FillsAfterTheColumnBackground(const PaintPlan& plan) {
    return {plan.fills.begin() + 1, plan.fills.end()};
}

TEST(HexPaintPlan, WithoutBytesOnlyTheBackground) {
    auto core = MakeCore({}, 4);
    for (const bool null : {true, false}) {
        const uint8_t none = 0;
        core.SetData(null ? nullptr : &none, 0);
        const PaintPlan plan = PlanPaint(core, true);
        EXPECT_EQ(plan.client, (RectPx{0, 0, 1010, 74})) << "null " << null;
        EXPECT_FALSE(plan.clip);
        EXPECT_TRUE(plan.fills.empty());
        EXPECT_TRUE(plan.texts.empty());
        EXPECT_FALSE(plan.caret);
    }
}

TEST(HexPaintPlan, ThreeColumnsAndAShortLastRow) {
    // The workbench's configuration: address and characters, 16 bytes a row;
    // the second row holds four bytes.
    std::vector<uint8_t> bytes = CountingBytes(16);
    for (uint8_t& byte : bytes) {
        byte += 'A';
    }
    bytes.insert(bytes.end(), {0x20, 0x7E, 0x7F, 0xFF});
    auto core = MakeCore(bytes, 4);
    core.SetShowAddress(true);
    core.SetShowAscii(true);
    const PaintPlan plan = PlanPaint(core, false);

    EXPECT_EQ(plan.client, (RectPx{0, 0, 1010, 74}));
    EXPECT_EQ(plan.cellWidthPx, kW);
    EXPECT_EQ(plan.cellHeightPx, kH);
    const int64_t bottom = kTop + 4 * kH;
    EXPECT_EQ(plan.clip, (RectPx{kLeft - 2, kTop, 1005 + 2, bottom}));
    // Columns: the address at 0 (8 digits), the hex at 69, the characters at 450;
    // each background runs to the bottom of the text, past the short row.
    const int64_t hexLeft = kLeft + 69;
    const int64_t charsLeft = kLeft + 450;
    EXPECT_EQ(plan.fills, (std::vector<PlanFill>{
                              {{kLeft, kTop, kLeft + 8 * kW, bottom}, ColorRole::AddressBackground},
                              {{hexLeft, kTop, hexLeft + 47 * kW, bottom}, ColorRole::HexBackground},
                              {{charsLeft, kTop, charsLeft + 16 * kW, bottom},
                               ColorRole::CharsBackground},
                          }));
    EXPECT_EQ(plan.texts,
              (std::vector<PlanText>{
                  {{kLeft, kTop}, "00000000", ColorRole::AddressText},
                  {{kLeft, kTop + kH}, "00000010", ColorRole::AddressText},
                  {{hexLeft, kTop},
                   "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50",
                   ColorRole::HexText},
                  {{hexLeft, kTop + kH}, "20 7E 7F FF", ColorRole::HexText},
                  {{charsLeft, kTop}, "ABCDEFGHIJKLMNOP", ColorRole::CharsText},
                  // 0x20 is a space; 0x7F and above are dots.
                  {{charsLeft, kTop + kH}, " ~..", ColorRole::CharsText},
              }));
}

TEST(HexPaintPlan, SelectionAcrossRowsWhileFocused) {
    auto core = MakeCore(CountingBytes(48), 4);
    core.SetSelection(14, 33, false);
    const PaintPlan plan = PlanPaint(core, false);
    // Each covered row from its first cell (or the start byte's) to its last
    // byte's second digit (or the end byte's), the gaps between pairs included,
    // one pixel below the row's top.
    const int64_t rowEnd = kLeft + 47 * kW + 1;
    EXPECT_EQ(FillsAfterTheColumnBackground(plan),
              (std::vector<PlanFill>{
                  {{kLeft + 42 * kW, kTop + 1, rowEnd, kTop + kH}, ColorRole::SelectedFocusedFill},
                  {{kLeft, kTop + kH + 1, rowEnd, kTop + 2 * kH}, ColorRole::SelectedFocusedFill},
                  {{kLeft, kTop + 2 * kH + 1, kLeft + 5 * kW + 1, kTop + 3 * kH},
                   ColorRole::SelectedFocusedFill},
              }));
    EXPECT_EQ(plan.texts,
              (std::vector<PlanText>{
                  {{kLeft, kTop}, HexRow(0, 13) + " ", ColorRole::HexText},
                  {{kLeft + 42 * kW, kTop}, "0E 0F", ColorRole::SelectedFocusedText},
                  {{kLeft, kTop + kH}, HexRow(16, 31), ColorRole::SelectedFocusedText},
                  {{kLeft, kTop + 2 * kH}, "20 21", ColorRole::SelectedFocusedText},
                  {{kLeft + 5 * kW, kTop + 2 * kH}, " " + HexRow(34, 47), ColorRole::HexText},
              }));
}

TEST(HexPaintPlan, SelectionWithoutFocusByStyle) {
    // A multi-line control keeps showing it in the unfocused colours.
    auto core = MakeCore(CountingBytes(48), 4);
    core.SetSelection(1, 2, false);
    core.SetFocused(false);
    PaintPlan plan = PlanPaint(core, true);
    EXPECT_EQ(FillsAfterTheColumnBackground(plan),
              (std::vector<PlanFill>{{{kLeft + 3 * kW, kTop + 1, kLeft + 8 * kW + 1, kTop + kH},
                                      ColorRole::SelectedUnfocusedFill}}));
    EXPECT_EQ(plan.texts[1], (PlanText{{kLeft + 3 * kW, kTop}, "01 02",
                                       ColorRole::SelectedUnfocusedText}));

    // A single-line control shows it only while it has the focus.
    auto single = MakeCore(CountingBytes(48), 1, 1000, false);
    single.SetSelection(1, 2, false);
    single.SetFocused(false);
    plan = PlanPaint(single, true);
    EXPECT_TRUE(FillsAfterTheColumnBackground(plan).empty());
    // The cells up to the clip, 2 px beyond the 1000 px text.
    EXPECT_EQ(plan.texts,
              (std::vector<PlanText>{{{0, 0}, HexRow(0, 41) + " ", ColorRole::HexText}}));
    single.SetFocused(true);
    plan = PlanPaint(single, true);
    ASSERT_EQ(FillsAfterTheColumnBackground(plan).size(), 1u);
    EXPECT_EQ(plan.fills[1].role, ColorRole::SelectedFocusedFill);
}

TEST(HexPaintPlan, AddressesArePaddedToTheirDigitsOrShowAll) {
    auto core = MakeCore(CountingBytes(0x140), 4);
    core.SetShowAddress(true);
    core.SetTopRow(1);
    EXPECT_EQ(PlanPaint(core, false).texts[0].characters, "00000010");
    core.SetAddressDigits(2);
    core.SetTopRow(16);
    EXPECT_EQ(PlanPaint(core, false).texts[0].characters, "100");
}

TEST(HexPaintPlan, CellsLeftOfTheClipAreLeftOut) {
    // A text 100 px wide scrolled 50 px: the hex column starts 50 px left of
    // the text, and the clip reaches 2 px beyond either edge.
    auto core = MakeCore(CountingBytes(32), 4, 100);
    core.SetHorzScroll(50);
    const PaintPlan plan = PlanPaint(core, false);
    const int64_t columnLeft = kLeft - 50;
    EXPECT_EQ(plan.fills[0].rect.left, columnLeft);
    EXPECT_EQ(plan.texts[0], (PlanText{{columnLeft + 6 * kW, kTop}, "02 03 04 05 0",
                                       ColorRole::HexText}));
}

TEST(HexPaintPlan, TheCaretWhileItBlinksOnWithFocusInView) {
    auto core = MakeCore(CountingBytes(400), 4);
    EXPECT_EQ(PlanPaint(core, true).caret, (RectPx{kLeft, kTop + 1, kLeft + kW, kTop + kH}));
    EXPECT_EQ(PlanPaint(core, true).caret, core.CaretRect());
    EXPECT_FALSE(PlanPaint(core, false).caret);
    core.SetTopRow(2);
    EXPECT_FALSE(PlanPaint(core, true).caret);
    core.SetTopRow(0);
    core.SetFocused(false);
    EXPECT_FALSE(PlanPaint(core, true).caret);
}

TEST(HexPaintPlan, NoRowInViewDrawsNoColumn) {
    auto core = MakeCore(CountingBytes(64), 4);
    core.SetClientSize(9, 9);
    const PaintPlan plan = PlanPaint(core, true);
    EXPECT_EQ(plan.client, (RectPx{0, 0, 9, 9}));
    EXPECT_FALSE(plan.clip);
    EXPECT_TRUE(plan.fills.empty());
    EXPECT_TRUE(plan.texts.empty());
}

TEST(HexPaintPlan, NothingBeforeAFontCellIsMeasured) {
    HexEditCore core;
    const auto bytes = CountingBytes(100);
    core.SetData(bytes.data(), 100);
    core.SetClientSize(400, 200);
    core.SetFocused(true);
    PaintPlan plan = PlanPaint(core, true);
    EXPECT_FALSE(plan.clip);
    EXPECT_TRUE(plan.texts.empty());
    EXPECT_FALSE(plan.caret);
    core.SetCharMetrics(kW, kH);
    plan = PlanPaint(core, true);
    EXPECT_TRUE(plan.clip);
    EXPECT_EQ(plan.texts.size(), 7u);
    EXPECT_TRUE(plan.caret);
}

TEST(HexPaintPlan, OnlyTheRowsAndCellsInViewArePlanned) {
    // Four full rows: those and the first byte's row below them, which the clip
    // cuts off, whatever the buffer's size.
    for (const uint32_t length : {64u * 1024, 1024u * 1024}) {
        auto core = MakeCore(CountingBytes(length), 4);
        core.SetSelection(length / 2, length / 2 + 300, true);
        const PaintPlan plan = PlanPaint(core, true);
        EXPECT_LE(plan.texts.size(), 3u * 5) << length;
        EXPECT_EQ(plan.fills.size(), 1u + 5) << length;
    }
    // A single row of 100000 bytes: only the cells across the 1000 px text,
    // at its start and at its end.
    auto single = MakeCore(std::vector<uint8_t>(100000, 0xAB), 1, 1000, false);
    PaintPlan plan = PlanPaint(single, false);
    ASSERT_EQ(plan.texts.size(), 1u);
    EXPECT_EQ(plan.texts[0].characters.size(), static_cast<std::size_t>((1000 + 2) / kW + 1));
    single.KeyDown(HexKey::End, testing::kPlain);
    plan = PlanPaint(single, false);
    ASSERT_EQ(plan.texts.size(), 1u);
    EXPECT_LE(plan.texts[0].characters.size(), static_cast<std::size_t>((1000 + 4) / kW + 2));
    EXPECT_EQ(plan.texts[0].characters.substr(plan.texts[0].characters.size() - 3), " AB");
}

TEST(HexPaintPlanColors, RolesStandForTheControlsOrThePlatformsColours) {
    HexColors own;
    own.background = 1;
    own.addressBackground = 2;
    own.addressText = 3;
    own.hexBackground = 4;
    own.hexText = 5;
    own.charsBackground = 6;
    own.charsText = 7;
    const SelectionColors selection{8, 9, 10, 11};
    const std::pair<ColorRole, uint32_t> expected[] = {
        {ColorRole::Background, 1},          {ColorRole::AddressBackground, 2},
        {ColorRole::AddressText, 3},         {ColorRole::HexBackground, 4},
        {ColorRole::HexText, 5},             {ColorRole::CharsBackground, 6},
        {ColorRole::CharsText, 7},           {ColorRole::SelectedFocusedFill, 8},
        {ColorRole::SelectedFocusedText, 9}, {ColorRole::SelectedUnfocusedFill, 10},
        {ColorRole::SelectedUnfocusedText, 11},
    };
    for (const auto& [role, colorRef] : expected) {
        EXPECT_EQ(ColorRefOf(role, own, selection), colorRef) << static_cast<int>(role);
    }
}

}  // namespace
}  // namespace korvid::hexedit
