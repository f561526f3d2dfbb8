// CHexEditBase bound to Qt: real key, mouse and wheel events reach the core,
// the clipboard carries both forms, signals, scroll bars, timers, the font it
// takes and the palette it fills the selection with. The rules themselves are
// tested on the core.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <vector>

#include "CHexEditBase.h"
#include "hex_edit_core.h"
#include "hex_font_cell.h"
#include "widget_fixture.h"

namespace {

using korvid::hexedit::CaretPosition;
using korvid::hexedit::testing::HexEditWidget;
using korvid::hexedit::testing::kBinaryMime;

TEST_F(HexEditWidget, TypingFourThenOneNotifiesTwice) {
    CHexEditBase& editor = MakeEditor({0x00, 0x00});
    QSignalSpy changed(&editor, &CHexEditBase::editChanged);
    QTest::keyClicks(&editor, QStringLiteral("41"));
    EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0x41, 0x00}));
    EXPECT_EQ(editor.Core().Caret(), (CaretPosition{1, true}));
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClicks(&editor, QStringLiteral("xz-"));
    EXPECT_EQ(changed.count(), 2);
    editor.SetReadOnly(true, true);
    QTest::keyClicks(&editor, QStringLiteral("7"));
    EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0x41, 0x00}));
    EXPECT_EQ(changed.count(), 2);

    const uint8_t other[] = {1, 2, 3};
    editor.SetData(other, 3, true);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(HexEditWidget, ArrowsAndShiftSelection) {
    std::vector<uint8_t> bytes(64);
    CHexEditBase& editor = MakeEditor(bytes);
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(&editor, Qt::Key_Right);
    }
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(editor.Core().Cursor().SelectionStart(), 5u);
    EXPECT_EQ(editor.Core().Cursor().SelectionEnd(), 6u);
    QTest::keyClick(&editor, Qt::Key_End);
    EXPECT_EQ(editor.Core().Caret(), (CaretPosition{63, false}));
    EXPECT_FALSE(editor.Core().Cursor().HasSelection());
}

TEST_F(HexEditWidget, TabMovesToTheNextWidgetAndEscapeStays) {
    CHexEditBase& editor = MakeEditor({1, 2, 3});
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_TRUE(editor.hasFocus());
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_TRUE(next_->hasFocus());
    QTest::keyClick(next_, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(editor.hasFocus());
}

TEST_F(HexEditWidget, CopyOffersBinaryAndTextEvenAgainstAWindowShortcut) {
    CHexEditBase& editor = MakeEditor({0x00, 0x3C, 0x00});
    // A window action on the same key must not take Ctrl+C from the control.
    auto* competing = new QAction(window_.get());
    competing->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    window_->addAction(competing);
    QSignalSpy stolen(competing, &QAction::triggered);

    editor.SetSelection(1, 1, false, true);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(kBinaryMime), QByteArray("\x01\x00\x00\x00\x3C", 5));
    EXPECT_EQ(mime->text(), QStringLiteral("3C\n"));
    EXPECT_EQ(stolen.count(), 0);

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("3C\n"));
}

TEST_F(HexEditWidget, CopyWithoutSelectionLeavesTheClipboard) {
    CHexEditBase& editor = MakeEditor({1, 2, 3});
    QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
}

TEST_F(HexEditWidget, PasteCutAtTheEndAndNotified) {
    CHexEditBase& editor = MakeEditor(std::vector<uint8_t>(20, 0));
    QSignalSpy changed(&editor, &CHexEditBase::editChanged);
    editor.SetSelection(16, 16, false, true);
    SetClipboardBlock(
        QByteArray("\x0A\x00\x00\x00"
                   "ABCDEFGHIJ",
                   14));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    const auto bytes = Bytes();
    EXPECT_EQ(bytes.size(), 20u);
    EXPECT_EQ(bytes[16], 'A');
    EXPECT_EQ(bytes[19], 'D');
    EXPECT_EQ(editor.Core().Caret(), (CaretPosition{19, false}));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(HexEditWidget, PasteRefusals) {
    CHexEditBase& editor = MakeEditor(std::vector<uint8_t>(8, 0));
    QSignalSpy changed(&editor, &CHexEditBase::editChanged);
    // Text alone is never pasted.
    SetClipboardBlock(QByteArray(), QStringLiteral("41 42"));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    // A block with a count of 0.
    SetClipboardBlock(
        QByteArray("\x00\x00\x00\x00"
                   "AB",
                   6));
    editor.OnEditPaste();
    // Read-only, through Shift+Insert.
    editor.SetReadOnly(true, false);
    SetClipboardBlock(
        QByteArray("\x01\x00\x00\x00"
                   "A",
                   5));
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Bytes(), std::vector<uint8_t>(8, 0));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(editor.Core().Caret(), (CaretPosition{0, true}));
}

TEST_F(HexEditWidget, ClickDragAndDoubleClick) {
    std::vector<uint8_t> bytes(64);
    CHexEditBase& editor = MakeEditor(bytes);
    next_->setFocus();
    QTest::mouseClick(&editor, Qt::LeftButton, Qt::NoModifier, Cell(3, 0));
    EXPECT_TRUE(editor.hasFocus());
    EXPECT_EQ(editor.Core().Caret(), (CaretPosition{1, true}));

    QTest::mousePress(&editor, Qt::LeftButton, Qt::NoModifier, Cell(3, 0));
    Drag(Cell(9, 1));
    QTest::mouseRelease(&editor, Qt::LeftButton, Qt::NoModifier, Cell(9, 1));
    EXPECT_EQ(editor.Core().Cursor().SelectionStart(), 1u);
    EXPECT_EQ(editor.Core().Cursor().SelectionEnd(), 19u);

    QTest::mouseDClick(&editor, Qt::LeftButton, Qt::NoModifier, Cell(6, 2));
    EXPECT_EQ(editor.Core().Cursor().SelectionStart(), 34u);
    EXPECT_EQ(editor.Core().Cursor().SelectionEnd(), 34u);
}

TEST_F(HexEditWidget, DragBelowTheTextAutoScrolls) {
    std::vector<uint8_t> bytes(4096);
    CHexEditBase& editor = MakeEditor(bytes);
    QTest::mousePress(&editor, Qt::LeftButton, Qt::NoModifier, Cell(0, 0));
    const int belowPx = editor.height() + 40;
    Drag(QPoint(Cell(0, 0).x(), belowPx));
    QTest::qWait(150);
    EXPECT_GT(editor.Core().Viewport().TopRow(), 2u);
    QTest::mouseRelease(&editor, Qt::LeftButton, Qt::NoModifier, QPoint(Cell(0, 0).x(), belowPx));
    const uint32_t stoppedAt = editor.Core().Viewport().TopRow();
    QTest::qWait(50);
    EXPECT_EQ(editor.Core().Viewport().TopRow(), stoppedAt);
    EXPECT_EQ(editor.Core().Cursor().SelectionStart(), 0u);
}

TEST_F(HexEditWidget, ScrollBarsAndWheel) {
    std::vector<uint8_t> bytes(4096);
    CHexEditBase& editor = MakeEditor(bytes);
    QApplication::processEvents();
    auto bars = editor.findChildren<QScrollBar*>();
    ASSERT_EQ(bars.size(), 2);
    QScrollBar* vertical = bars[0]->orientation() == Qt::Vertical ? bars[0] : bars[1];
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_EQ(vertical->maximum(),
              static_cast<int>(editor.Core().Viewport().GetLayout().maxTopRow));
    EXPECT_FALSE(vertical->accessibleName().isEmpty());

    QWheelEvent wheel(QPointF(50, 50), editor.mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&editor, &wheel);
    EXPECT_EQ(editor.Core().Viewport().TopRow(), 2u);
    EXPECT_EQ(vertical->value(), 2);

    // A touchpad's small steps add up: three of a third of a notch scroll a row.
    for (int step = 0; step < 3; ++step) {
        QWheelEvent fine(QPointF(50, 50), editor.mapToGlobal(QPointF(50, 50)), QPoint(0, -4),
                         QPoint(0, -40), Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(&editor, &fine);
        EXPECT_EQ(editor.Core().Viewport().TopRow(), step < 2 ? 2u : 3u) << step;
    }
    EXPECT_EQ(vertical->value(), 3);

    vertical->setValue(7);
    EXPECT_EQ(editor.Core().Viewport().TopRow(), 7u);
    QTest::keyClick(&editor, Qt::Key_Home);
    EXPECT_EQ(vertical->value(), 0);
}

TEST_F(HexEditWidget, SingleLineShowsNoScrollBars) {
    std::vector<uint8_t> bytes(2000, 0xAB);
    CHexEditBase& editor = MakeEditor(bytes, false);
    QApplication::processEvents();
    for (QScrollBar* bar : editor.findChildren<QScrollBar*>()) {
        EXPECT_FALSE(bar->isVisible());
    }
    EXPECT_EQ(editor.Core().Viewport().GetLayout().bytesPerRow, 2000u);
    QTest::keyClick(&editor, Qt::Key_End);
    EXPECT_GT(editor.Core().Viewport().HorzScrollPx(), 0);
    // A row far longer than any fixed buffer paints without trouble.
    QImage image(editor.size(), QImage::Format_RGB32);
    editor.render(&image);
}

TEST_F(HexEditWidget, DrawsWithTheMonospaceFamilyOfTheRun) {
    const QString family = qEnvironmentVariable("KORVID_TEST_MONOSPACE");
    if (family.isEmpty()) {
        GTEST_SKIP() << "CTest runs this under each monospace family (KORVID_TEST_MONOSPACE)";
    }
    CHexEditBase& editor = MakeEditor({1, 2, 3});
    EXPECT_EQ(QFontInfo(editor.GetFont()).family(), family)
        << "is the family's package of scripts/packages.txt installed?";
    // The cell is the one the core's rule gives for the font's measures.
    const auto cell = korvid::hexedit::CellForFont(HexEditFont::Measure(editor.GetFont()));
    ASSERT_TRUE(cell);
    const auto& layout = editor.Core().Viewport().GetLayout();
    EXPECT_EQ(layout.charWidthPx, cell->widthPx);
    EXPECT_EQ(layout.charHeightPx, cell->heightPx);
}

TEST_F(HexEditWidget, AFontIsTakenForItsDigitsNotItsPitchFlag) {
    CHexEditBase& editor = MakeEditor({1, 2, 3});
    const QString family = QFontInfo(editor.GetFont()).family();
    const int64_t widthPx = editor.Core().Viewport().GetLayout().charWidthPx;
    editor.setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
    EXPECT_TRUE(editor.Core().LayoutDirty());
    QApplication::processEvents();
    editor.repaint();
    EXPECT_EQ(editor.Core().Viewport().GetLayout().charWidthPx, widthPx);
    EXPECT_EQ(QFontInfo(editor.GetFont()).family(), family);

    // Noto Sans Mono does not call itself fixed-pitch; its digits share one advance.
    const QFont noto(QStringLiteral("Noto Sans Mono"), 30);
    ASSERT_EQ(QFontInfo(noto).family(), QStringLiteral("Noto Sans Mono"));
    ASSERT_FALSE(QFontInfo(noto).fixedPitch());
    editor.setFont(noto);
    editor.repaint();
    EXPECT_GT(editor.Core().Viewport().GetLayout().charWidthPx, widthPx);
    EXPECT_EQ(QFontInfo(editor.GetFont()).family(), QStringLiteral("Noto Sans Mono"));
}

TEST_F(HexEditWidget, SelectionIsFilledWithThePalettesColours) {
    std::vector<uint8_t> bytes(64, 0x20);
    CHexEditBase& editor = MakeEditor(bytes);
    editor.SetSelection(0, 40, false, true);
    const QColor focusedFill = editor.palette().color(QPalette::Highlight);
    const QColor unfocusedFill = editor.palette().color(QPalette::Button);
    const auto pixelAt = [this](QPoint p) {
        QImage image(editor_->size(), QImage::Format_RGB32);
        editor_->render(&image);
        return QColor(image.pixel(p));
    };
    // The gap between two selected pairs, on row 1: a fill, no glyph.
    const QPoint gap = Cell(2, 1) + QPoint(3, 4);
    EXPECT_EQ(pixelAt(gap), focusedFill);
    next_->setFocus();
    EXPECT_EQ(pixelAt(gap), unfocusedFill);
}

TEST_F(HexEditWidget, AccessibleNames) {
    CHexEditBase& editor = MakeEditor({1});
    EXPECT_FALSE(editor.accessibleName().isEmpty());
}

}  // namespace
