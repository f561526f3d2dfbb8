#include "hex_paint_plan.h"

#include <algorithm>

#include "hex_digit.h"
#include "hex_digits.h"
#include "hex_edit_core.h"

namespace korvid::hexedit {
namespace {

// The clip reaches this far beyond the text rectangle's left and right.
constexpr int64_t kClipOverhangPx = 2;

// What every column of one paint shares: the layout, the rows drawn, and the
// plan the column adds its fills and texts to.
class ColumnPlanner {
public:
    ColumnPlanner(PaintPlan& plan, const HexEditCore& core)
        : plan_(plan),
          core_(core),
          layout_(core.Viewport().GetLayout()),
          rows_(core.Viewport().RowsToDraw(core.GetDataSize())) {}

    bool NothingToDraw() const { return rows_.empty || layout_.visibleRows == 0; }
    const Layout& GetLayout() const { return layout_; }
    const HexEditCore& Core() const { return core_; }

    // A column's background from its left, widthPx wide, over the text's height.
    void Fill(int64_t leftPx, int64_t widthPx, ColorRole role) {
        const RectPx& text = layout_.textRect;
        plan_.fills.push_back({{leftPx, text.top, leftPx + widthPx, text.bottom}, role});
    }
    void Fill(const RectPx& rect, ColorRole role) { plan_.fills.push_back({rect, role}); }

    // The text of the cells [firstCell, endCell) of a column row, of which only
    // the cells inside the clip are made; cellChar gives each cell's character.
    template <typename CellChar>
    void Text(int64_t columnLeftPx, int64_t rowTopPx, int64_t firstCell, int64_t endCell,
              ColorRole role, CellChar cellChar) {
        const int64_t w = layout_.charWidthPx;
        const RectPx& clip = *plan_.clip;
        const int64_t from = std::max(firstCell, (clip.left - columnLeftPx) / w);
        const int64_t to = std::min(endCell, (clip.right - columnLeftPx + w - 1) / w);
        if (from >= to) {
            return;
        }
        PlanText text{{columnLeftPx + from * w, rowTopPx}, std::string(to - from, ' '), role};
        for (int64_t cell = from; cell < to; ++cell) {
            text.characters[static_cast<std::size_t>(cell - from)] = cellChar(cell);
        }
        plan_.texts.push_back(std::move(text));
    }

    // fn(row, first offset, bytes drawn of it, top px) for every row drawn.
    template <typename RowFn>
    void ForEachRow(RowFn fn) const {
        const uint64_t n = layout_.bytesPerRow;
        for (uint64_t row = rows_.firstRow; row * n <= rows_.lastOffset; ++row) {
            const int64_t first = static_cast<int64_t>(row * n);
            const int64_t count = std::min<int64_t>(static_cast<int64_t>(n),
                                                    int64_t{rows_.lastOffset} - first + 1);
            fn(first, count, core_.Viewport().RowTopPx(static_cast<uint32_t>(row)));
        }
    }

private:
    PaintPlan& plan_;
    const HexEditCore& core_;
    const Layout& layout_;
    DrawnRows rows_;
};

void PlanAddressColumn(ColumnPlanner& c) {
    const Layout& layout = c.GetLayout();
    const int64_t left = c.Core().Viewport().ColumnLeftPx(layout.addressXPx);
    const uint32_t digits = c.Core().AddressDigits();
    c.Fill(left, digits * layout.charWidthPx, ColorRole::AddressBackground);
    c.ForEachRow([&](int64_t first, int64_t, int64_t topPx) {
        // Zero-padded to the digit count; a longer address shows all its digits.
        const std::string address =
            core::HexText(static_cast<uint32_t>(first), static_cast<int>(digits));
        c.Text(left, topPx, 0, static_cast<int64_t>(address.size()), ColorRole::AddressText,
               [&](int64_t cell) { return address[static_cast<std::size_t>(cell)]; });
    });
}

void PlanHexColumn(ColumnPlanner& c) {
    const Layout& layout = c.GetLayout();
    const HexEditCore& core = c.Core();
    const int64_t w = layout.charWidthPx;
    const int64_t h = layout.charHeightPx;
    const int64_t left = core.Viewport().ColumnLeftPx(layout.hexXPx);
    c.Fill(left, layout.HexTextWidthPx(), ColorRole::HexBackground);

    const std::span<const uint8_t> data = core.Data();
    const HexCursor& cursor = core.Cursor();
    const bool focused = core.Focused();
    // A single-line control shows its selection only while it has the focus.
    const bool showSelection = cursor.HasSelection() && (focused || core.IsMultiLine());
    const int64_t selStart = cursor.SelectionStart();
    const int64_t selEnd = cursor.SelectionEnd();

    c.ForEachRow([&](int64_t first, int64_t count, int64_t topPx) {
        const int64_t rowCells = 3 * count - 1;
        const auto cellChar = [&](int64_t cell) {
            const uint8_t byte = data[static_cast<std::size_t>(first + cell / 3)];
            switch (cell % 3) {
                case 0:
                    return HighDigit(byte);
                case 1:
                    return LowDigit(byte);
                default:
                    return ' ';
            }
        };
        const int64_t last = first + count - 1;
        if (!showSelection || selEnd < first || selStart > last) {
            c.Text(left, topPx, 0, rowCells, ColorRole::HexText, cellChar);
            return;
        }
        // The selected part runs to the end byte's second digit, or to the end
        // of the row text; the gaps between selected pairs belong to it.
        const int64_t s = selStart > first ? 3 * (selStart - first) : 0;
        const int64_t e = selEnd <= last ? 3 * (selEnd - first) + 2 : rowCells;
        c.Fill({left + s * w, topPx + 1, left + e * w + 1, topPx + h},
               focused ? ColorRole::SelectedFocusedFill : ColorRole::SelectedUnfocusedFill);
        c.Text(left, topPx, 0, s, ColorRole::HexText, cellChar);
        c.Text(left, topPx, s, e,
               focused ? ColorRole::SelectedFocusedText : ColorRole::SelectedUnfocusedText,
               cellChar);
        c.Text(left, topPx, e, rowCells, ColorRole::HexText, cellChar);
    });
}

void PlanCharColumn(ColumnPlanner& c) {
    const Layout& layout = c.GetLayout();
    const int64_t left = c.Core().Viewport().ColumnLeftPx(layout.charsXPx);
    c.Fill(left, layout.charsWidthPx, ColorRole::CharsBackground);
    const std::span<const uint8_t> data = c.Core().Data();
    c.ForEachRow([&](int64_t first, int64_t count, int64_t topPx) {
        c.Text(left, topPx, 0, count, ColorRole::CharsText, [&](int64_t cell) {
            return CharacterCell(data[static_cast<std::size_t>(first + cell)]);
        });
    });
}

}  // namespace

uint32_t ColorRefOf(ColorRole role, const HexColors& own, const SelectionColors& selection) {
    switch (role) {
        case ColorRole::Background:
            return own.background;
        case ColorRole::AddressBackground:
            return own.addressBackground;
        case ColorRole::AddressText:
            return own.addressText;
        case ColorRole::HexBackground:
            return own.hexBackground;
        case ColorRole::HexText:
            return own.hexText;
        case ColorRole::CharsBackground:
            return own.charsBackground;
        case ColorRole::CharsText:
            return own.charsText;
        case ColorRole::SelectedFocusedFill:
            return selection.focusedFill;
        case ColorRole::SelectedFocusedText:
            return selection.focusedText;
        case ColorRole::SelectedUnfocusedFill:
            return selection.unfocusedFill;
        case ColorRole::SelectedUnfocusedText:
            return selection.unfocusedText;
    }
    return own.background;
}

PaintPlan PlanPaint(HexEditCore& core, bool caretOn) {
    const Layout& layout = core.EnsureLayout();
    PaintPlan plan;
    plan.client = core.ClientRect();
    plan.cellWidthPx = layout.charWidthPx;
    plan.cellHeightPx = layout.charHeightPx;
    if (caretOn) {
        plan.caret = core.CaretRect();
    }
    if (!core.HasBytes()) {
        return plan;
    }
    ColumnPlanner columns(plan, core);
    if (columns.NothingToDraw()) {
        return plan;
    }
    const RectPx& text = layout.textRect;
    plan.clip = RectPx{text.left - kClipOverhangPx, text.top, text.right + kClipOverhangPx,
                       text.bottom};
    if (core.ShowAddress()) {
        PlanAddressColumn(columns);
    }
    PlanHexColumn(columns);
    if (core.ShowAscii()) {
        PlanCharColumn(columns);
    }
    return plan;
}

}  // namespace korvid::hexedit
