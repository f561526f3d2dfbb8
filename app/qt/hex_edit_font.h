// The font a hex editor draws with: measured with QFontMetricsF for the core's
// font rule (hex_font_cell.h), with the glyph of every character the editor
// draws, so that each character is placed at the start of its own cell
// whatever the font's own advances.
#pragma once

#include <QFont>
#include <QRawFont>

#include <array>
#include <string_view>

#include "hex_digits.h"
#include "hex_font_cell.h"

class QPainter;

class HexEditFont {
public:
    // What the core's rule asks of a font, measured on the screen's resolution.
    static korvid::hexedit::FontMeasure Measure(const QFont& font);

    explicit HexEditFont(const QFont& font);

    const QFont& Font() const { return font_; }
    // Draws ASCII characters from a cell's top left on, one per cellWidthPx.
    void DrawCells(QPainter& painter, QPointF cellTopLeft, std::string_view characters,
                   qreal cellWidthPx) const;

private:
    QFont font_;
    QRawFont raw_;
    // Indexed by character - kFirstDrawnChar; characters outside are drawn as ".".
    std::array<quint32, korvid::hexedit::kDrawnCharCount> glyphs_{};
    qreal ascentPx_ = 0;
};
