#include "hex_edit_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>

#include "hex_digits.h"
#include "hex_edit_core.h"

namespace korvid::hexedit {
namespace {

// The clip region reaches this far beyond the text rectangle's left and right.
constexpr int64_t kClipOverhangPx = 2;

QRect ToQRect(const RectPx& r) {
    return QRect(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.Width()),
                 static_cast<int>(r.Height()));
}

// Draws the text of the cells [firstCell, endCell) of a column row, building
// only the cells that fall inside the clip span; cellChar gives each cell.
class RowPainter {
public:
    RowPainter(QPainter& painter, const Layout& layout, int ascentPx)
        : painter_(painter),
          w_(layout.charWidthPx),
          clipLeft_(layout.textRect.left - kClipOverhangPx),
          clipRight_(layout.textRect.right + kClipOverhangPx),
          ascentPx_(ascentPx) {}

    template <typename CellChar>
    void Draw(int64_t columnLeftPx, int64_t rowTopPx, int64_t firstCell, int64_t endCell,
              CellChar cellChar) {
        const int64_t from = std::max(firstCell, (clipLeft_ - columnLeftPx) / w_);
        const int64_t to = std::min(endCell, (clipRight_ - columnLeftPx + w_ - 1) / w_);
        if (from >= to) {
            return;
        }
        text_.resize(static_cast<qsizetype>(to - from));
        for (int64_t cell = from; cell < to; ++cell) {
            text_[static_cast<qsizetype>(cell - from)] = QLatin1Char(cellChar(cell));
        }
        painter_.drawText(QPoint(static_cast<int>(columnLeftPx + from * w_),
                                 static_cast<int>(rowTopPx + ascentPx_)),
                          text_);
    }

private:
    QPainter& painter_;
    int64_t w_;
    int64_t clipLeft_;
    int64_t clipRight_;
    int ascentPx_;
    QString text_;
};

struct ColumnContext {
    const HexEditCore& core;
    const Layout& layout;
    const HexViewport& viewport;
    DrawnRows rows;
    RowPainter& rowPainter;

    // Bytes of row from its first offset up to the last drawn offset.
    int64_t BytesInRow(uint32_t row) const {
        const int64_t first = static_cast<int64_t>(row) * layout.bytesPerRow;
        return std::min<int64_t>(layout.bytesPerRow, rows.lastOffset - first + 1);
    }
    template <typename RowFn>
    void ForEachRow(RowFn fn) const {
        const uint64_t n = layout.bytesPerRow;
        for (uint64_t row = rows.firstRow; row * n <= rows.lastOffset; ++row) {
            fn(static_cast<uint32_t>(row), viewport.RowTopPx(static_cast<uint32_t>(row)));
        }
    }
};

void FillColumn(QPainter& painter, const ColumnContext& c, int64_t columnLeftPx, int64_t widthPx,
                uint32_t colorRef) {
    const RectPx& text = c.layout.textRect;
    painter.fillRect(ToQRect({columnLeftPx, text.top, columnLeftPx + widthPx, text.bottom}),
                     ColorFromColorRef(colorRef));
}

void PaintAddressColumn(QPainter& painter, const ColumnContext& c) {
    const int64_t left = c.viewport.ColumnLeftPx(c.layout.addressXPx);
    const uint32_t digits = c.core.AddressDigits();
    FillColumn(painter, c, left, digits * c.layout.charWidthPx, c.core.Colors().addressBackground);
    painter.setPen(ColorFromColorRef(c.core.Colors().addressText));
    c.ForEachRow([&](uint32_t row, int64_t topPx) {
        const uint64_t offset = static_cast<uint64_t>(row) * c.layout.bytesPerRow;
        // Zero-padded to the digit count; a longer address shows all its digits.
        const QByteArray address = QByteArray::number(static_cast<qulonglong>(offset), 16)
                                       .toUpper()
                                       .rightJustified(digits, '0');
        c.rowPainter.Draw(left, topPx, 0, address.size(),
                          [&](int64_t cell) { return address[static_cast<qsizetype>(cell)]; });
    });
}

void PaintHexColumn(QPainter& painter, const ColumnContext& c, const SelectionColors& selection) {
    const Layout& layout = c.layout;
    const int64_t w = layout.charWidthPx;
    const int64_t h = layout.charHeightPx;
    const int64_t left = c.viewport.ColumnLeftPx(layout.hexXPx);
    FillColumn(painter, c, left, layout.HexTextWidthPx(), c.core.Colors().hexBackground);

    const std::span<const uint8_t> data = c.core.Data();
    const HexCursor& cursor = c.core.Cursor();
    const bool focused = c.core.Focused();
    const bool showSelection = cursor.HasSelection() && (focused || c.core.IsMultiLine());
    const QColor textColor = ColorFromColorRef(c.core.Colors().hexText);

    c.ForEachRow([&](uint32_t row, int64_t topPx) {
        const int64_t first = static_cast<int64_t>(row) * layout.bytesPerRow;
        const int64_t rowCells = 3 * c.BytesInRow(row) - 1;
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
        painter.setPen(textColor);
        c.rowPainter.Draw(left, topPx, 0, rowCells, cellChar);

        if (!showSelection) {
            return;
        }
        const int64_t last = first + c.BytesInRow(row) - 1;
        const int64_t selStart = cursor.SelectionStart();
        const int64_t selEnd = cursor.SelectionEnd();
        if (selEnd < first || selStart > last) {
            return;
        }
        // The selected part runs to the end byte's second digit, or to the end
        // of the row text; the gaps between selected pairs belong to it.
        const int64_t s = selStart > first ? 3 * (selStart - first) : 0;
        const int64_t e = selEnd <= last ? 3 * (selEnd - first) + 2 : rowCells;
        painter.fillRect(ToQRect({left + s * w, topPx + 1, left + e * w + 1, topPx + h}),
                         focused ? selection.focusedFill : selection.unfocusedFill);
        painter.setPen(focused ? selection.focusedText : selection.unfocusedText);
        c.rowPainter.Draw(left, topPx, s, std::min(e, rowCells), cellChar);
    });
}

void PaintCharColumn(QPainter& painter, const ColumnContext& c) {
    const int64_t left = c.viewport.ColumnLeftPx(c.layout.charsXPx);
    FillColumn(painter, c, left, c.layout.charsWidthPx, c.core.Colors().charsBackground);
    painter.setPen(ColorFromColorRef(c.core.Colors().charsText));
    const std::span<const uint8_t> data = c.core.Data();
    c.ForEachRow([&](uint32_t row, int64_t topPx) {
        const int64_t first = static_cast<int64_t>(row) * c.layout.bytesPerRow;
        c.rowPainter.Draw(left, topPx, 0, c.BytesInRow(row), [&](int64_t cell) {
            const uint8_t byte = data[static_cast<std::size_t>(first + cell)];
            return byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
        });
    });
}

}  // namespace

QColor ColorFromColorRef(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

void PaintHexEdit(QPainter& painter, const HexEditCore& core, const QFont& font, int clientWidthPx,
                  int clientHeightPx, const SelectionColors& selection, bool showCaret) {
    painter.fillRect(QRect(0, 0, clientWidthPx, clientHeightPx),
                     ColorFromColorRef(core.Colors().background));
    if (!core.HasBytes()) {
        return;
    }
    const HexViewport& viewport = core.Viewport();
    const Layout& layout = viewport.GetLayout();
    painter.setFont(font);
    RowPainter rowPainter(painter, layout, QFontMetrics(font).ascent());
    const ColumnContext context{core, layout, viewport, viewport.RowsToDraw(core.GetDataSize()),
                                rowPainter};

    painter.save();
    const RectPx& text = layout.textRect;
    painter.setClipRect(ToQRect(
        {text.left - kClipOverhangPx, text.top, text.right + kClipOverhangPx, text.bottom}));
    if (!context.rows.empty) {
        if (core.ShowAddress()) {
            PaintAddressColumn(painter, context);
        }
        PaintHexColumn(painter, context, selection);
        if (core.ShowAscii()) {
            PaintCharColumn(painter, context);
        }
    }
    painter.restore();

    // The block caret inverts the cell under it, like a solid system caret.
    if (const auto caret = core.CaretRect(); caret && showCaret) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(ToQRect(*caret), Qt::black);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

}  // namespace korvid::hexedit
