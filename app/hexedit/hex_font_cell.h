// Which fonts the hex editor draws with, and the character cell it lays out
// with, decided from what a front end measures of a font (QFontMetricsF,
// GetTextExtentPoint32W): the advances of the characters the editor draws and
// the line height. The editor draws every character at the start of its own
// cell, so the grid holds in any accepted font.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "hex_digits.h"

namespace korvid::hexedit {

// What a front end measures of one font, in pixels: with QFontMetricsF its
// horizontalAdvance of each character and its height(); with GDI the cx and
// cy of GetTextExtentPoint32W of each character.
struct FontMeasure {
    // The advance of each drawn character, kFirstDrawnChar first.
    std::array<double, kDrawnCharCount> advancesPx{};
    // The line: ascent plus descent.
    double heightPx = 0;

    double AdvanceOf(char character) const {
        return advancesPx[static_cast<std::size_t>(character - kFirstDrawnChar)];
    }
};

// A character cell in whole pixels.
struct CharCell {
    int64_t widthPx = 0;
    int64_t heightPx = 0;
    bool operator==(const CharCell&) const = default;
};

// The cell of a font the editor accepts: one whose sixteen hex digits share one
// advance (compared in 1/64 px, the unit of font rasterizers), whatever the
// font says of its pitch. The cell is as wide as the widest drawn character and
// as high as the line, each rounded up to whole pixels. None for a refused font
// or one whose measures are empty.
std::optional<CharCell> CellForFont(const FontMeasure& font);

struct ChosenFont {
    std::size_t index = 0;
    CharCell cell;
    bool operator==(const ChosenFont&) const = default;
};

// The first of count candidates (the font asked for, then the fall-back
// families) that the editor accepts, with its cell; none when it accepts none.
// measure(index) measures a candidate, none when it cannot be had; candidates
// after the accepted one are never measured.
std::optional<ChosenFont> ChooseFont(
    std::size_t count, const std::function<std::optional<FontMeasure>(std::size_t index)>& measure);

}  // namespace korvid::hexedit
