#include "hex_font_cell.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace korvid::hexedit {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Measures usable for a cell: finite and positive.
bool Usable(double px) {
    return std::isfinite(px) && px > 0;
}

// A length in 1/64 px, rounded.
int64_t InSixtyFourths(double px) {
    return std::llround(px * 64);
}

}  // namespace

std::optional<CharCell> CellForFont(const FontMeasure& font) {
    const double digitPx = font.AdvanceOf(kHexDigits.front());
    if (!Usable(digitPx) || !Usable(font.heightPx)) {
        return std::nullopt;
    }
    const bool digitsShareOneAdvance = std::all_of(kHexDigits.begin(), kHexDigits.end(), [&](char c) {
        return InSixtyFourths(font.AdvanceOf(c)) == InSixtyFourths(digitPx);
    });
    if (!digitsShareOneAdvance) {
        return std::nullopt;
    }
    double widestPx = 0;
    for (const double advancePx : font.advancesPx) {
        if (!std::isfinite(advancePx)) {
            return std::nullopt;
        }
        widestPx = std::max(widestPx, advancePx);
    }
    // Rounded to 1/64 px first: a measure a hair above a whole pixel is noise
    // of the measuring, not a wider cell.
    const auto wholePx = [](double px) {
        return static_cast<int64_t>(std::ceil(static_cast<double>(InSixtyFourths(px)) / 64));
    };
    return CharCell{wholePx(widestPx), wholePx(font.heightPx)};
}

std::optional<ChosenFont> ChooseFont(
    std::size_t count, const std::function<std::optional<FontMeasure>(std::size_t index)>& measure) {
    for (std::size_t index = 0; index < count; ++index) {
        const std::optional<FontMeasure> font = measure(index);
        if (const auto cell = font ? CellForFont(*font) : std::nullopt) {
            return ChosenFont{index, *cell};
        }
    }
    return std::nullopt;
}

}  // namespace korvid::hexedit
