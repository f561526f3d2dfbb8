// One paint of the hex editor as plain values: what a front end draws, in which
// order, where and in which colour. Made from the core; drawn by the Qt widget
// with QPainter and by a Windows control with GDI the same way:
//   1. fill `client` with ColorRole::Background (FillRect);
//   2. if there is a clip, clip to it and fill `fills` in order, then draw
//      `texts` in order: each character at the start of its own cell, one cell
//      (cellWidthPx) after the other, whatever the font's own advance
//      (ExtTextOutW with an advance array of cellWidthPx), with transparent
//      background; then remove the clip;
//   3. invert `caret` if there is one (InvertRect, or a NOT of the destination).
// Only the rows in view, and of each row only the cells inside the clip, are in
// a plan, so making and drawing one costs the same for any buffer size and any
// row length.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hex_geometry.h"

namespace korvid::hexedit {

class HexEditCore;
struct HexColors;

enum class ColorRole : uint8_t {
    // The control's own colours (HexColors).
    Background,
    AddressBackground,
    AddressText,
    HexBackground,
    HexText,
    CharsBackground,
    CharsText,
    // The platform's selection colours (SelectionColors).
    SelectedFocusedFill,
    SelectedFocusedText,
    SelectedUnfocusedFill,
    SelectedUnfocusedText,
};

// The selection colours a front end reads from its platform when the control
// is made: QPalette's Highlight, HighlightedText, Button and WindowText, or
// GetSysColor's COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE and
// COLOR_WINDOWTEXT. COLORREF values, 0x00BBGGRR.
struct SelectionColors {
    uint32_t focusedFill = 0;
    uint32_t focusedText = 0;
    uint32_t unfocusedFill = 0;
    uint32_t unfocusedText = 0;
};

// The COLORREF a role stands for.
uint32_t ColorRefOf(ColorRole role, const HexColors& own, const SelectionColors& selection);

struct PlanFill {
    RectPx rect;
    ColorRole role = ColorRole::Background;
    bool operator==(const PlanFill&) const = default;
};

// ASCII characters drawn from the top left of a cell on, one cell each.
struct PlanText {
    PointPx cellTopLeft;
    std::string characters;
    ColorRole role = ColorRole::HexText;
    bool operator==(const PlanText&) const = default;
};

struct PaintPlan {
    RectPx client;
    int64_t cellWidthPx = 0;
    int64_t cellHeightPx = 0;
    // None when no column is drawn (no bytes, or no row in view).
    std::optional<RectPx> clip;
    std::vector<PlanFill> fills;
    std::vector<PlanText> texts;
    std::optional<RectPx> caret;
};

// The plan of the next paint of core, laid out first if it must be. caretOn is
// the caret's blink phase: the caret is in the plan only while it is on, the
// control has the focus and the caret's cell is in view.
PaintPlan PlanPaint(HexEditCore& core, bool caretOn);

}  // namespace korvid::hexedit
