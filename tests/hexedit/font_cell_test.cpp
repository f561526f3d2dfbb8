// Which fonts the editor takes and the cell it lays out with, from measured
// advances: fonts that do not call themselves fixed-pitch but whose digits
// share one advance, proportional fonts, rounding noise, broken measures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <span>
#include <vector>

#include "hex_font_cell.h"

namespace korvid::hexedit {
namespace {

// A font whose every drawn character advances advancePx, heightPx high.
FontMeasure Monospaced(double advancePx, double heightPx) {
    FontMeasure font;
    font.advancesPx.fill(advancePx);
    font.heightPx = heightPx;
    return font;
}

void SetAdvance(FontMeasure& font, char character, double advancePx) {
    font.advancesPx[static_cast<std::size_t>(character - kFirstDrawnChar)] = advancePx;
}

// Advances as a proportional sans-serif font has them: tabular digits, but
// letters of their own widths.
FontMeasure Proportional() {
    FontMeasure font = Monospaced(8.90625, 16.0);
    for (const char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        SetAdvance(font, c, 9.0 + (c - 'A') % 5);
    }
    SetAdvance(font, ' ', 4.0);
    return font;
}

TEST(HexFontCell, DigitsOfOneAdvanceAreEnoughWhateverThePitchFlag) {
    // As measured of Noto Sans Mono at 10 pt on 96 dpi, which calls itself
    // proportional: the cell rounds up to whole pixels.
    EXPECT_EQ(CellForFont(Monospaced(7.1875, 16.34375)), (CharCell{8, 17}));
    EXPECT_EQ(CellForFont(Monospaced(8.0, 15.0)), (CharCell{8, 15}));
}

TEST(HexFontCell, TheCellHoldsTheWidestCharacterDrawn) {
    FontMeasure font = Monospaced(8.0, 16.0);
    SetAdvance(font, 'W', 9.5);
    SetAdvance(font, '.', 3.0);
    EXPECT_EQ(CellForFont(font), (CharCell{10, 16}));
}

TEST(HexFontCell, ProportionalFontsAreRefused) {
    EXPECT_FALSE(CellForFont(Proportional()));
    // One letter digit off by 1/32 px is enough.
    FontMeasure font = Monospaced(8.0, 16.0);
    SetAdvance(font, 'F', 8.0 + 1.0 / 32);
    EXPECT_FALSE(CellForFont(font));
}

TEST(HexFontCell, NoiseBelowASixtyFourthIsNoWiderCell) {
    FontMeasure font = Monospaced(8.0, 16.0);
    SetAdvance(font, 'B', 8.004);
    SetAdvance(font, '~', 8.004);
    EXPECT_EQ(CellForFont(font), (CharCell{8, 16}));
}

TEST(HexFontCell, EmptyOrBrokenMeasuresAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinite = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(CellForFont(FontMeasure{}));
    EXPECT_FALSE(CellForFont(Monospaced(8.0, 0.0)));
    EXPECT_FALSE(CellForFont(Monospaced(0.0, 16.0)));
    EXPECT_FALSE(CellForFont(Monospaced(-8.0, 16.0)));
    EXPECT_FALSE(CellForFont(Monospaced(nan, 16.0)));
    EXPECT_FALSE(CellForFont(Monospaced(8.0, nan)));
    FontMeasure font = Monospaced(8.0, 16.0);
    SetAdvance(font, '#', infinite);
    EXPECT_FALSE(CellForFont(font));
}

// The choice among measures given in advance; measured records which were asked for.
std::optional<ChosenFont> ChooseAmong(std::span<const std::optional<FontMeasure>> candidates,
                                      std::vector<std::size_t>* measured = nullptr) {
    return ChooseFont(candidates.size(), [&](std::size_t index) {
        if (measured != nullptr) {
            measured->push_back(index);
        }
        return candidates[index];
    });
}

TEST(HexFontChoice, TheFirstAcceptedCandidateWinsAndNoLaterOneIsMeasured) {
    const std::vector<std::optional<FontMeasure>> candidates = {
        Proportional(), std::nullopt, Monospaced(7.0, 14.0), Monospaced(9.0, 18.0)};
    std::vector<std::size_t> measured;
    EXPECT_EQ(ChooseAmong(candidates, &measured), (ChosenFont{2, {7, 14}}));
    EXPECT_EQ(measured, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(ChooseAmong(std::span(candidates).subspan(3)), (ChosenFont{0, {9, 18}}));
    EXPECT_FALSE(ChooseAmong(std::span(candidates).first(2)));
    EXPECT_FALSE(ChooseAmong({}));
}

}  // namespace
}  // namespace korvid::hexedit
