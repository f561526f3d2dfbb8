// Scrolling, EnsureVisible, scroll-bar ranges, the caret rectangle, hit tests,
// mouse selection and the auto-scroll pacing.
#include <gtest/gtest.h>

#include "hex_auto_scroll.h"
#include "hex_edit_fixture.h"
#include "hex_wheel.h"

namespace korvid::hexedit {
namespace {

using testing::CountingBytes;
using testing::kCharHeightPx;
using testing::kCharWidthPx;
using testing::MakeCore;

// Client x of the left edge of a hex cell in a control without address column.
int64_t CellX(int64_t cell) {
    return kTextInsetPx + cell * kCharWidthPx;
}
int64_t RowY(int64_t row) {
    return kTextInsetPx + row * kCharHeightPx;
}

TEST(HexEditEnsureVisible, OffsetOnThePartialRowAtTheLimit) {
    auto core = MakeCore(CountingBytes(400), 10);
    core.EnsureVisible(160, 160);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    core.EnsureVisible(161, 161);
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
}

TEST(HexEditEnsureVisible, TallRanges) {
    auto core = MakeCore(CountingBytes(800), 4);
    core.SetTopRow(5);
    core.EnsureVisible(0, 799);  // covers the window already
    EXPECT_EQ(core.Viewport().TopRow(), 5u);
    core.EnsureVisible(200, 400);  // taller than the window, starts below it
    EXPECT_EQ(core.Viewport().TopRow(), 12u);
    core.EnsureVisible(0, 150);  // taller, starts above: its end row becomes the last
    EXPECT_EQ(core.Viewport().TopRow(), 6u);
    core.EnsureVisible(20, 30);
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
}

TEST(HexEditEnsureVisible, Horizontal) {
    auto core = MakeCore(CountingBytes(64), 4, 10 * kCharWidthPx);
    core.EnsureVisible(10, 10);  // cells 30 and 31, right of the text
    const int64_t xb = CellX(32);
    EXPECT_EQ(core.Viewport().HorzScrollPx(), xb - 10 * kCharWidthPx);
    core.EnsureVisible(16, 16);  // column 0: back to the left
    EXPECT_EQ(core.Viewport().HorzScrollPx(), 0);
}

TEST(HexEditScroll, RowsPixelsAndClamps) {
    auto core = MakeCore(CountingBytes(400), 4, 100);
    core.ScrollRows(-3);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    core.ScrollRows(100);
    EXPECT_EQ(core.Viewport().TopRow(), 21u);
    core.ScrollPixels(-5);
    EXPECT_EQ(core.Viewport().HorzScrollPx(), 0);
    core.ScrollPixels(10000);
    EXPECT_EQ(core.Viewport().HorzScrollPx(), 8 * 47 - 100);
}

TEST(HexEditScroll, WheelNotches) {
    auto core = MakeCore(CountingBytes(400), 4);
    core.Wheel(-120);
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
    core.Wheel(60);
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
    core.Wheel(-360);
    EXPECT_EQ(core.Viewport().TopRow(), 4u);
    core.Wheel(120);
    EXPECT_EQ(core.Viewport().TopRow(), 3u);
}

TEST(HexEditScroll, FineWheelStepsAddUpToRows) {
    auto core = MakeCore(CountingBytes(400), 4);
    core.Wheel(-40);
    core.Wheel(-40);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    core.Wheel(-40);
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
    core.Wheel(-100);  // 100 of 120 kept ...
    core.Wheel(30);    // ... and dropped when the turn goes back
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
    core.Wheel(90);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    // A wheel event's delta is no 16-bit value: a long fling does not wrap.
    core.Wheel(-120 * 300);
    EXPECT_EQ(core.Viewport().TopRow(), 21u);
}

TEST(HexEditWheelRows, NotchesLeaveNothingOverFineStepsCarry) {
    WheelRows wheel;
    EXPECT_EQ(wheel.Take(-360), 3);
    EXPECT_EQ(wheel.Take(240), -2);
    EXPECT_EQ(wheel.PendingEighths(), 0);
    EXPECT_EQ(wheel.Take(-200), 1);
    EXPECT_EQ(wheel.PendingEighths(), -80);
    EXPECT_EQ(wheel.Take(-40), 1);
    EXPECT_EQ(wheel.PendingEighths(), 0);
    EXPECT_EQ(wheel.Take(-1), 0);
    EXPECT_EQ(wheel.Take(119), 0);  // turning back starts afresh
    EXPECT_EQ(wheel.PendingEighths(), 119);
    EXPECT_EQ(wheel.Take(1), -1);
    EXPECT_EQ(wheel.Take(0), 0);
}

TEST(HexEditScroll, SingleLineIgnoresRowsButScrollsHorizontally) {
    auto core = MakeCore(CountingBytes(100), 1, 200, false);
    core.SetTopRow(3);
    core.ScrollRows(2);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    EXPECT_FALSE(core.VerticalBar().shown);
    EXPECT_FALSE(core.HorizontalBar().shown);
    core.ScrollPixels(40);
    EXPECT_EQ(core.Viewport().HorzScrollPx(), 40);
}

TEST(HexEditScrollBars, Ranges) {
    auto core = MakeCore(CountingBytes(400), 4, 100);
    core.SetTopRow(2);
    EXPECT_EQ(core.VerticalBar(), (ScrollBarRange{true, 21 + 4 - 1, 4, 2, 1}));
    EXPECT_EQ(core.HorizontalBar(), (ScrollBarRange{true, 276 + 100 - 1, 100, 0, kCharWidthPx}));

    auto fits = MakeCore(CountingBytes(64), 4);
    EXPECT_FALSE(fits.VerticalBar().shown);
    EXPECT_FALSE(fits.HorizontalBar().shown);
}

TEST(HexEditCaret, RectangleOnEitherNibble) {
    auto core = MakeCore(CountingBytes(64), 4);
    core.KeyDown(HexKey::Right, testing::kPlain);
    core.KeyDown(HexKey::Right, testing::kPlain);
    core.KeyDown(HexKey::Right, testing::kPlain);  // offset 1, low nibble
    EXPECT_EQ(core.CaretRect(), (RectPx{CellX(4), RowY(0) + 1, CellX(5), RowY(1)}));
}

TEST(HexEditCaret, PartialLastRowShortensIt) {
    auto core = MakeCore(CountingBytes(64), 2);
    core.SetClientSize(1010, 10 + 2 * kCharHeightPx + 6);
    core.KeyDown(HexKey::Down, testing::kPlain);
    core.KeyDown(HexKey::Down, testing::kPlain);
    const auto caret = core.CaretRect();
    ASSERT_TRUE(caret);
    EXPECT_EQ(caret->top, RowY(2) + 1);
    EXPECT_EQ(caret->Height(), 5);
}

TEST(HexEditCaret, HiddenWithoutFocusOrOutOfView) {
    auto core = MakeCore(CountingBytes(400), 4);
    core.SetFocused(false);
    EXPECT_FALSE(core.CaretRect());
    core.SetFocused(true);
    EXPECT_TRUE(core.CaretRect());
    core.SetTopRow(3);
    EXPECT_FALSE(core.CaretRect());
    core.SetTopRow(0);
    EXPECT_TRUE(core.CaretRect());
}

TEST(HexEditCaret, CutAtTheTextEdgesWhenScrolledSideways) {
    auto core = MakeCore(CountingBytes(64), 4, 10 * kCharWidthPx);
    core.SetHorzScroll(4);  // offset 0's first digit is half out on the left
    auto caret = core.CaretRect();
    ASSERT_TRUE(caret);
    EXPECT_EQ(caret->left, kTextInsetPx - 2);
    EXPECT_EQ(caret->Width(), kCharWidthPx - 4 + 2);
    core.SetHorzScroll(kCharWidthPx + 2);  // wholly left of the text
    EXPECT_FALSE(core.CaretRect());
}

TEST(HexEditHitTest, Positions) {
    auto core = MakeCore(CountingBytes(40), 4);
    // Right half of byte 1's first digit: its low nibble.
    EXPECT_EQ(core.HitTest({CellX(3) + 5, RowY(0) + 3}), (CaretPosition{1, false}));
    EXPECT_EQ(core.HitTest({CellX(3) + 3, RowY(0) + 3}), (CaretPosition{1, true}));
    // The separating space belongs to the byte before it.
    EXPECT_EQ(core.HitTest({CellX(5) + 1, RowY(1) + 3}), (CaretPosition{17, false}));
    // Right of the row: its last byte.
    EXPECT_EQ(core.HitTest({900, RowY(1) + 3}), (CaretPosition{31, false}));
    // Left of the text: the row's first byte.
    EXPECT_EQ(core.HitTest({0, RowY(1) + 3}), (CaretPosition{16, true}));
    // Below the data: the last byte's low nibble.
    EXPECT_EQ(core.HitTest({CellX(0), RowY(3)}), (CaretPosition{39, false}));
    EXPECT_EQ(core.HitTest({CellX(0), 5000}), (CaretPosition{39, false}));
    // Above the text: the top row.
    EXPECT_EQ(core.HitTest({CellX(0), -50}), (CaretPosition{0, true}));
}

TEST(HexEditHitTest, AddressAndCharacterColumnsMapToTheRow) {
    auto core = MakeCore(CountingBytes(40), 4);
    core.SetShowAddress(true);
    core.SetShowAscii(true);
    EXPECT_EQ(core.HitTest({2, RowY(1) + 3}), (CaretPosition{16, true}));
    EXPECT_EQ(core.HitTest({69 + 381 + 20, RowY(1) + 3}), (CaretPosition{31, false}));
}

TEST(HexEditMouse, ClickDragAndDoubleClick) {
    auto core = MakeCore(CountingBytes(64), 4);
    core.SetDragSize(4, 4);
    core.MouseDown({CellX(3), RowY(0) + 3});
    EXPECT_EQ(core.Caret(), (CaretPosition{1, true}));
    EXPECT_EQ(core.Cursor().Anchor(), 1u);
    EXPECT_EQ(core.DragStartRect(), (RectPx{CellX(3) - 2, RowY(0) + 1, CellX(3) + 2, RowY(0) + 5}));
    // Inside the drag rectangle nothing happens yet.
    core.MouseMove({CellX(3) + 1, RowY(0) + 3}, true);
    EXPECT_FALSE(core.Cursor().HasSelection());
    core.MouseMove({CellX(9), RowY(1) + 3}, true);
    EXPECT_EQ(core.Cursor().SelectionStart(), 1u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 19u);
    EXPECT_EQ(core.Cursor().MovingEnd(), 19u);
    // Once dragging, even small moves count.
    core.MouseMove({CellX(3) + 1, RowY(0) + 3}, true);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 1u);
    core.MouseUp();
    EXPECT_EQ(core.Cursor().Anchor(), 1u);
    // Without the button a move does nothing.
    core.MouseMove({CellX(9), RowY(2) + 3}, false);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 1u);

    core.MouseDoubleClick({CellX(6), RowY(2) + 3});
    EXPECT_EQ(core.Caret(), (CaretPosition{34, true}));
    EXPECT_EQ(core.Cursor().SelectionStart(), 34u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 34u);
}

TEST(HexEditAutoScroll, DelayFollowsTheDistance) {
    const int64_t top = 5;
    const int64_t bottom = 100;
    EXPECT_EQ(AutoScrollFor(top - 1, top, bottom), (AutoScrollRequest{-1, 7}));
    EXPECT_EQ(AutoScrollFor(top - 4, top, bottom), (AutoScrollRequest{-1, 6}));
    EXPECT_EQ(AutoScrollFor(top - 29, top, bottom), (AutoScrollRequest{-1, 1}));
    EXPECT_EQ(AutoScrollFor(top - 30, top, bottom), (AutoScrollRequest{-1, 1}));
    EXPECT_EQ(AutoScrollFor(top - 500, top, bottom), (AutoScrollRequest{-1, 1}));
    EXPECT_EQ(AutoScrollFor(bottom + 1, top, bottom), (AutoScrollRequest{+1, 7}));
    EXPECT_EQ(AutoScrollFor(bottom + 30, top, bottom), (AutoScrollRequest{+1, 1}));
    EXPECT_FALSE(AutoScrollFor(top, top, bottom));
    EXPECT_FALSE(AutoScrollFor(bottom, top, bottom));
}

TEST(HexEditAutoScroll, StepsEveryDelayPlusOneTicks) {
    AutoScroll scroll;
    scroll.Start({0, 0}, {-1, 7});
    int steps = 0;
    for (int tick = 1; tick <= 16; ++tick) {
        if (scroll.Tick()) {
            ++steps;
            EXPECT_EQ(tick % 8, 0) << tick;
        }
    }
    EXPECT_EQ(steps, 2);
    // A start while running changes the pace, not the countdown.
    scroll.Start({1, 1}, {+1, 1});
    EXPECT_EQ(scroll.CountdownTicks(), 7);
    EXPECT_EQ(scroll.DirectionRows(), 1);
    scroll.Stop();
    EXPECT_FALSE(scroll.Tick());
}

TEST(HexEditAutoScroll, DragBelowTheTextScrollsAndExtends) {
    auto core = MakeCore(CountingBytes(400), 4);
    core.MouseDown({CellX(0), RowY(0) + 3});
    const int64_t below = RowY(4) + 40;  // 40 px below the text
    core.MouseMove({CellX(0), below}, true);
    ASSERT_TRUE(core.GetAutoScroll().Running());
    EXPECT_EQ(core.GetAutoScroll().DelayTicks(), 1);
    EXPECT_EQ(core.GetAutoScroll().DirectionRows(), 1);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 64u);  // clamped to the visible rows
    core.AutoScrollTick();
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
    core.AutoScrollTick();
    EXPECT_EQ(core.Viewport().TopRow(), 1u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 80u);
    // Back inside the text stops it; so does the button's release.
    core.MouseMove({CellX(0), RowY(1)}, true);
    EXPECT_FALSE(core.GetAutoScroll().Running());
    core.MouseMove({CellX(0), -20}, true);
    EXPECT_EQ(core.GetAutoScroll().DirectionRows(), -1);
    core.MouseUp();
    EXPECT_FALSE(core.GetAutoScroll().Running());
}

TEST(HexEditAutoScroll, NeverInSingleLineStyle) {
    auto core = MakeCore(CountingBytes(40), 1, 200, false);
    core.MouseDown({0, 3});
    core.MouseMove({50, -100}, true);
    EXPECT_FALSE(core.GetAutoScroll().Running());
    EXPECT_EQ(core.Cursor().SelectionEnd(), 2u);
}

}  // namespace
}  // namespace korvid::hexedit
