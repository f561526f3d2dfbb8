// Draws a hex editor's paint plan (hex_paint_plan.h) with QPainter, and nothing
// else: every decision of what to draw where is the plan's.
#pragma once

#include <QColor>

#include <cstdint>

#include "hex_paint_plan.h"

class HexEditFont;
class QPainter;

namespace korvid::hexedit {

struct HexColors;

QColor ColorFromColorRef(uint32_t colorRef);
uint32_t ColorRefFromColor(const QColor& color);

// font draws the plan's texts; without one (no font accepted) there are none.
void DrawPaintPlan(QPainter& painter, const PaintPlan& plan, const HexEditFont* font,
                   const HexColors& own, const SelectionColors& selection);

}  // namespace korvid::hexedit
