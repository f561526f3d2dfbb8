// Draws a hex editor's three columns, selection and caret with QPainter, from
// the core's state. Only the visible rows, and of each row only the cells that
// fall inside the text rectangle, are built and drawn, so a paint costs the same
// for any buffer size and any row length.
#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>

class QPainter;

namespace korvid::hexedit {

class HexEditCore;

struct SelectionColors {
    QColor focusedText;
    QColor focusedFill;
    QColor unfocusedText;
    QColor unfocusedFill;
};

QColor ColorFromColorRef(uint32_t colorRef);

// Paints the whole client area (clientWidthPx × clientHeightPx) of a control
// whose layout is up to date. showCaret is the blink phase.
void PaintHexEdit(QPainter& painter, const HexEditCore& core, const QFont& font, int clientWidthPx,
                  int clientHeightPx, const SelectionColors& selection, bool showCaret);

}  // namespace korvid::hexedit
