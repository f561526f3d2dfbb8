// The hex editor's GDI side: what GDI measures of a font for the editor's cell
// rule, and the drawing of one paint plan.
#pragma once

#include <windows.h>
// The common dialogs' macro for their font dialog would rename the editor's font
// rule (hexedit::ChooseFont) wherever both are seen.
#undef ChooseFont

#include "hex_edit_core.h"
#include "hex_font_cell.h"
#include "hex_paint_plan.h"

namespace korvid::win32 {

// The advance of every character the editor draws and the line height: cx and
// cy of GetTextExtentPoint32W with font selected into dc.
hexedit::FontMeasure MeasureFont(HDC dc, HFONT font);

// Draws plan into dc as the plan says: the background, then within the clip the
// fills and the texts, each character at the start of its own cell (an advance
// array of the cell width, whatever the font's own advances), on a transparent
// background; the caret inverted.
void DrawPaintPlan(HDC dc, const hexedit::PaintPlan& plan, HFONT font,
                   const hexedit::HexColors& own, const hexedit::SelectionColors& selection);

}  // namespace korvid::win32
