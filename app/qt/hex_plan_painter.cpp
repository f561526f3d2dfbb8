#include "hex_plan_painter.h"

#include <QPainter>

#include "hex_edit_core.h"
#include "hex_edit_font.h"

namespace korvid::hexedit {
namespace {

QRect ToQRect(const RectPx& r) {
    return QRect(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.Width()),
                 static_cast<int>(r.Height()));
}

}  // namespace

QColor ColorFromColorRef(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

uint32_t ColorRefFromColor(const QColor& color) {
    const QRgb rgb = color.rgb();
    return static_cast<uint32_t>(qRed(rgb)) | static_cast<uint32_t>(qGreen(rgb)) << 8 |
           static_cast<uint32_t>(qBlue(rgb)) << 16;
}

void DrawPaintPlan(QPainter& painter, const PaintPlan& plan, const HexEditFont* font,
                   const HexColors& own, const SelectionColors& selection) {
    const auto color = [&](ColorRole role) {
        return ColorFromColorRef(ColorRefOf(role, own, selection));
    };
    painter.fillRect(ToQRect(plan.client), color(ColorRole::Background));
    if (plan.clip) {
        painter.save();
        painter.setClipRect(ToQRect(*plan.clip));
        for (const PlanFill& fill : plan.fills) {
            painter.fillRect(ToQRect(fill.rect), color(fill.role));
        }
        if (font != nullptr) {
            for (const PlanText& text : plan.texts) {
                painter.setPen(color(text.role));
                font->DrawCells(painter,
                                QPointF(static_cast<qreal>(text.cellTopLeft.x),
                                        static_cast<qreal>(text.cellTopLeft.y)),
                                text.characters, static_cast<qreal>(plan.cellWidthPx));
            }
        }
        painter.restore();
    }
    // The block caret inverts the cell under it, like a solid system caret.
    if (plan.caret) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(ToQRect(*plan.caret), Qt::black);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

}  // namespace korvid::hexedit
