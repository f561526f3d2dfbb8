#include "hex_edit_gdi.h"

#include "hex_digits.h"

#include <climits>
#include <string>
#include <vector>

namespace korvid::win32 {
namespace {

int Px(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

RECT ToRect(const hexedit::RectPx& r) {
    return RECT{Px(r.left), Px(r.top), Px(r.right), Px(r.bottom)};
}

void Fill(HDC dc, const hexedit::RectPx& area, COLORREF color) {
    const RECT rect = ToRect(area);
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

hexedit::FontMeasure MeasureFont(HDC dc, HFONT font) {
    const HGDIOBJ previous = SelectObject(dc, font);
    hexedit::FontMeasure measure;
    SIZE size{};
    for (std::size_t i = 0; i < hexedit::kDrawnCharCount; ++i) {
        const wchar_t character = static_cast<wchar_t>(hexedit::kFirstDrawnChar + i);
        GetTextExtentPoint32W(dc, &character, 1, &size);
        measure.advancesPx[i] = size.cx;
    }
    measure.heightPx = size.cy;
    SelectObject(dc, previous);
    return measure;
}

void DrawPaintPlan(HDC dc, const hexedit::PaintPlan& plan, HFONT font,
                   const hexedit::HexColors& own, const hexedit::SelectionColors& selection) {
    const auto color = [&](hexedit::ColorRole role) {
        return static_cast<COLORREF>(hexedit::ColorRefOf(role, own, selection));
    };
    Fill(dc, plan.client, color(hexedit::ColorRole::Background));
    if (plan.clip) {
        const RECT clip = ToRect(*plan.clip);
        const HRGN region = CreateRectRgnIndirect(&clip);
        SelectClipRgn(dc, region);
        for (const hexedit::PlanFill& fill : plan.fills) {
            Fill(dc, fill.rect, color(fill.role));
        }
        const HGDIOBJ previousFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        std::wstring characters;
        std::vector<INT> advances;
        for (const hexedit::PlanText& text : plan.texts) {
            characters.assign(text.characters.begin(), text.characters.end());
            advances.assign(characters.size(), Px(plan.cellWidthPx));
            SetTextColor(dc, color(text.role));
            ExtTextOutW(dc, Px(text.cellTopLeft.x), Px(text.cellTopLeft.y), 0, nullptr,
                        characters.c_str(), static_cast<UINT>(characters.size()), advances.data());
        }
        SelectObject(dc, previousFont);
        SelectClipRgn(dc, nullptr);
        DeleteObject(region);
    }
    if (plan.caret) {
        const RECT caret = ToRect(*plan.caret);
        InvertRect(dc, &caret);
    }
}

}  // namespace korvid::win32
