#include "hex_edit_font.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>

#include <algorithm>
#include <cmath>

using korvid::hexedit::FontMeasure;
using korvid::hexedit::kDrawnCharCount;
using korvid::hexedit::kFirstDrawnChar;

namespace {

QString DrawnCharacters() {
    QString characters;
    for (std::size_t i = 0; i < kDrawnCharCount; ++i) {
        characters.append(QLatin1Char(static_cast<char>(kFirstDrawnChar + i)));
    }
    return characters;
}

}  // namespace

FontMeasure HexEditFont::Measure(const QFont& font) {
    const QFontMetricsF metrics(font);
    FontMeasure measure;
    const QString characters = DrawnCharacters();
    for (std::size_t i = 0; i < kDrawnCharCount; ++i) {
        measure.advancesPx[i] = metrics.horizontalAdvance(characters.at(static_cast<qsizetype>(i)));
    }
    measure.heightPx = metrics.height();
    return measure;
}

HexEditFont::HexEditFont(const QFont& font)
    : font_(font),
      raw_(QRawFont::fromFont(font)),
      ascentPx_(std::round(QFontMetricsF(font).ascent())) {
    // One glyph per character: printable ASCII maps one to one.
    const QList<quint32> glyphs = raw_.glyphIndexesForString(DrawnCharacters());
    std::copy_n(glyphs.begin(), std::min<std::size_t>(glyphs.size(), glyphs_.size()),
                glyphs_.begin());
}

void HexEditFont::DrawCells(QPainter& painter, QPointF cellTopLeft, std::string_view characters,
                            qreal cellWidthPx) const {
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(static_cast<qsizetype>(characters.size()));
    positions.reserve(static_cast<qsizetype>(characters.size()));
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const auto byte = static_cast<uint8_t>(characters[i]);
        const char shown = korvid::hexedit::CharacterCell(byte);
        indexes.append(glyphs_[static_cast<std::size_t>(shown - kFirstDrawnChar)]);
        positions.append(QPointF(static_cast<qreal>(i) * cellWidthPx, 0));
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(cellTopLeft + QPointF(0, ascentPx_), run);
}
