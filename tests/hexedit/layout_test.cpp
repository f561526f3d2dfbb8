// Column layout: widths and positions, auto-fit thresholds, single-line rows,
// tiny client areas, scroll maxima.
#include <gtest/gtest.h>

#include "hex_edit_fixture.h"
#include "hex_layout.h"

namespace korvid::hexedit {
namespace {

using testing::ClientForTextPx;
using testing::kCharHeightPx;
using testing::kCharWidthPx;

LayoutInput BaseInput() {
    LayoutInput input;
    input.clientWidthPx = 800;
    input.clientHeightPx = 600;
    input.charWidthPx = kCharWidthPx;
    input.charHeightPx = kCharHeightPx;
    input.dataLengthBytes = 1000;
    return input;
}

TEST(HexLayout, SixteenBytesWithAddressAndCharactersAtEightPixels) {
    LayoutInput input = BaseInput();
    input.showAddress = true;
    input.showChars = true;
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.bytesPerRow, 16u);
    EXPECT_EQ(layout.addressXPx, 0);
    EXPECT_EQ(layout.addressWidthPx, 69);
    EXPECT_EQ(layout.hexXPx, 69);
    EXPECT_EQ(layout.hexWidthPx, 381);
    EXPECT_EQ(layout.charsXPx, 450);
    EXPECT_EQ(layout.charsWidthPx, 128);
    EXPECT_EQ(layout.contentWidthPx, 578);
}

TEST(HexLayout, AutoFitThresholds) {
    struct Case {
        bool showChars;
        int64_t availablePx;
        uint32_t bytes;
    };
    const Case cases[] = {
        {false, 5 * kCharWidthPx, 2},
        {false, 5 * kCharWidthPx - 1, 1},
        {false, 2 * kCharWidthPx, 1},
        {false, 0, 1},
        {false, -1, 1},
        {true, 7 * kCharWidthPx, 2},
        {true, 7 * kCharWidthPx - 1, 1},
        {true, -1, 1},
        {false, 47 * kCharWidthPx, 16},
        {true, 63 * kCharWidthPx, 16},
    };
    for (const Case& c : cases) {
        LayoutInput input = BaseInput();
        input.autoFit = true;
        input.showChars = c.showChars;
        // The character column's 5 px gap comes off the available width first.
        const int64_t textPx = c.availablePx + (c.showChars ? kColumnGapPx : 0);
        input.clientWidthPx = ClientForTextPx(textPx);
        EXPECT_EQ(ComputeLayout(input).bytesPerRow, c.bytes)
            << "chars " << c.showChars << " available " << c.availablePx;
    }
}

TEST(HexLayout, AutoFitCountsAfterTheAddressColumn) {
    LayoutInput input = BaseInput();
    input.autoFit = true;
    input.showAddress = true;
    input.addressDigits = 4;
    input.clientWidthPx = ClientForTextPx(4 * kCharWidthPx + 5 + 5 * kCharWidthPx);
    EXPECT_EQ(ComputeLayout(input).bytesPerRow, 2u);
}

TEST(HexLayout, SingleLineHoldsAllBytesOnOneRowWithoutInset) {
    LayoutInput input = BaseInput();
    input.multiLine = false;
    input.autoFit = true;
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.bytesPerRow, 1000u);
    EXPECT_EQ(layout.textRect, (RectPx{0, 0, 800, 600}));
    EXPECT_EQ(layout.totalRows, 1u);
    EXPECT_EQ(layout.maxTopRow, 0u);
    EXPECT_EQ(layout.maxHorzScrollPx, 8 * (3 * 1000 - 1) - 800);

    input.dataLengthBytes = 0;
    EXPECT_EQ(ComputeLayout(input).bytesPerRow, 1u);
}

TEST(HexLayout, TinyClientGivesAnEmptyTextRectangle) {
    LayoutInput input = BaseInput();
    input.clientWidthPx = 9;
    input.clientHeightPx = 9;
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.textRect, (RectPx{5, 5, 5, 5}));
    EXPECT_EQ(layout.fullRows, 0u);
    EXPECT_EQ(layout.visibleRows, 0u);
    EXPECT_EQ(layout.lastRowHeightPx, kCharHeightPx);
    EXPECT_EQ(layout.maxTopRow, layout.totalRows);
}

TEST(HexLayout, PartialLastRow) {
    LayoutInput input = BaseInput();
    input.clientHeightPx = ClientForTextPx(3 * kCharHeightPx + 7);
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.fullRows, 3u);
    EXPECT_EQ(layout.visibleRows, 4u);
    EXPECT_EQ(layout.lastRowHeightPx, 7);
}

TEST(HexLayout, NoRoomUntilACellIsMeasured) {
    LayoutInput input = BaseInput();
    input.charWidthPx = 0;
    input.charHeightPx = 0;
    input.showAddress = true;
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.textRect.Width(), 0);
    EXPECT_EQ(layout.textRect.Height(), 0);
    EXPECT_EQ(layout.visibleRows, 0u);
    EXPECT_EQ(layout.maxTopRow, 0u);
    EXPECT_EQ(layout.maxHorzScrollPx, 0);

    HexEditCore core;
    const auto bytes = testing::CountingBytes(1000);
    core.SetData(bytes.data(), 1000);
    core.SetClientSize(400, 200);
    EXPECT_EQ(core.EnsureLayout().visibleRows, 0u);
    EXPECT_FALSE(core.VerticalBar().shown);
    EXPECT_FALSE(core.HorizontalBar().shown);
}

TEST(HexLayout, ScrollMaxima) {
    LayoutInput input = BaseInput();
    input.clientWidthPx = ClientForTextPx(100);
    input.clientHeightPx = ClientForTextPx(10 * kCharHeightPx);
    input.dataLengthBytes = 161;  // 11 rows, the last with one byte
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.totalRows, 11u);
    EXPECT_EQ(layout.maxTopRow, 1u);
    EXPECT_EQ(layout.maxHorzScrollPx, 8 * 47 - 100);
}

TEST(HexLayout, HugeRowsStayInRange) {
    LayoutInput input = BaseInput();
    input.configuredBytesPerRow = 0xFFFFFFFFu;
    input.dataLengthBytes = 0xFFFFFFFFu;
    const Layout layout = ComputeLayout(input);
    EXPECT_EQ(layout.totalRows, 1u);
    EXPECT_EQ(layout.contentWidthPx, 8 * (3 * int64_t{0xFFFFFFFF} - 1));
}

TEST(HexEditCoreSettings, AddressDigitsAreClampedToThirtyOne) {
    HexEditCore core;
    core.SetAddressDigits(200);
    EXPECT_EQ(core.AddressDigits(), kMaxAddressDigits);
    core.SetAddressDigits(2);
    EXPECT_EQ(core.AddressDigits(), 2u);
}

TEST(HexEditCoreData, NullEmptyAndShortCopies) {
    HexEditCore core;
    uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    core.SetData(nullptr, 100);
    EXPECT_FALSE(core.HasData());
    EXPECT_EQ(core.GetDataSize(), 0u);
    EXPECT_EQ(core.GetData(out, 4), 0u);

    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    core.SetData(bytes, 6);
    EXPECT_EQ(core.GetData(out, 3), 6u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 0xEE);

    core.SetData(bytes, 0);
    EXPECT_TRUE(core.HasData());
    EXPECT_FALSE(core.HasBytes());
    EXPECT_EQ(core.GetData(out, 4), 0u);
}

TEST(HexEditCoreData, SetDataResetsSelectionAnchorAndCaret) {
    auto core = testing::MakeCore(testing::CountingBytes(64), 4);
    core.KeyDown(HexKey::Right, testing::kShift);
    core.KeyDown(HexKey::Right, testing::kShift);
    ASSERT_TRUE(core.Cursor().HasSelection());
    const auto bytes = testing::CountingBytes(8);
    core.SetData(bytes.data(), 8);
    EXPECT_FALSE(core.Cursor().HasSelection());
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
    EXPECT_EQ(core.Cursor().MovingEnd(), kNoOffset);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

}  // namespace
}  // namespace korvid::hexedit
