// The QPainter renderer of a paint plan: the background over the client, the
// fills in their roles' colours and cut at the clip, the caret inverted.
// Texts are left out: their pixels depend on font rendering.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "hex_edit_core.h"
#include "hex_plan_painter.h"
#include "widget_fixture.h"

namespace korvid::hexedit {
namespace {

class HexPlanPainter : public testing::HexEditWidget {};

TEST_F(HexPlanPainter, FillsInTheirColoursCutAtTheClipAndTheCaretInverted) {
    HexColors own;
    own.background = 0x00332211;
    own.hexBackground = 0x00BED2B4;
    const SelectionColors selection{0x00FF8000, 0, 0, 0};
    PaintPlan plan;
    plan.client = {0, 0, 40, 30};
    plan.clip = RectPx{0, 0, 32, 28};
    plan.fills = {{{10, 10, 20, 20}, ColorRole::HexBackground},
                  {{25, 0, 30, 5}, ColorRole::SelectedFocusedFill},
                  {{30, 20, 40, 30}, ColorRole::HexBackground}};
    plan.caret = RectPx{0, 0, 5, 5};

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawPaintPlan(painter, plan, nullptr, own, selection);
    }
    EXPECT_EQ(image.pixel(39, 0), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(image.pixel(15, 15), qRgb(0xB4, 0xD2, 0xBE));
    EXPECT_EQ(image.pixel(27, 2), qRgb(0x00, 0x80, 0xFF));
    // Inside the clip, and right of it or below it.
    EXPECT_EQ(image.pixel(31, 27), qRgb(0xB4, 0xD2, 0xBE));
    EXPECT_EQ(image.pixel(32, 27), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(image.pixel(31, 28), qRgb(0x11, 0x22, 0x33));
    // The caret inverts the background under it.
    EXPECT_EQ(image.pixel(2, 2), qRgb(0xEE, 0xDD, 0xCC));
    EXPECT_EQ(image.pixel(5, 2), qRgb(0x11, 0x22, 0x33));
}

TEST_F(HexPlanPainter, ColourReferencesAndQtColoursConvertBothWays) {
    EXPECT_EQ(ColorFromColorRef(0x00BED2B4), QColor(0xB4, 0xD2, 0xBE));
    EXPECT_EQ(ColorRefFromColor(QColor(0xB4, 0xD2, 0xBE)), 0x00BED2B4u);
}

}  // namespace
}  // namespace korvid::hexedit
