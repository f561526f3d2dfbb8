// The hex editor drawn with GDI: its character cell measured from the glyphs it
// draws, and one paint of the core's plan through an off-screen bitmap.
#pragma once

#include "hex_edit_core.h"

#include <windows.h>

#include <cstdint>

namespace korvid::win32 {

struct CellSizePx {
    int64_t width = 1;
    int64_t height = 1;
};

CellSizePx MeasureCell(HDC dc, HFONT font);

// Paints the client rectangle of a control whose font is font into dc.
void PaintHexEdit(HDC dc, hexedit::HexEditCore& core, HFONT font, const RECT& client);

}  // namespace korvid::win32
