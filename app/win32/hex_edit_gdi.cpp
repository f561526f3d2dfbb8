#include "hex_edit_gdi.h"

namespace korvid::win32 {

CellSizePx MeasureCell(HDC dc, HFONT font) {
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, L"0", 1, &size);
    SelectObject(dc, previous);
    return {size.cx, size.cy};
}

void PaintHexEdit(HDC dc, hexedit::HexEditCore& core, HFONT, const RECT& client) {
    const COLORREF background = core.Colors().background;
    const HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

}  // namespace korvid::win32
