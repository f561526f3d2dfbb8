// The hex editor through Qt's accessibility: the interface a screen reader or
// at-spi automation gets, and the notifications it receives while the user
// moves the caret, selects and types. Accessibility is switched on for these
// tests as an assistive technology would, and every event is recorded.
#include <gtest/gtest.h>

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAccessible>

#include <vector>

#include "CHexEditBase.h"
#include "CHexEditBaseAccessible.h"
#include "hex_edit_core.h"
#include "widget_fixture.h"

namespace {

using korvid::hexedit::CaretPosition;

// What one notification said.
struct Recorded {
    QAccessible::Event type = QAccessible::InvalidEvent;
    int cursor = -1;
    int selectionStart = -1;
    int selectionEnd = -1;
    int changePosition = -1;
    QString removed;
    QString inserted;
};

std::vector<Recorded>& Events() {
    static std::vector<Recorded> events;
    return events;
}

void Record(QAccessibleEvent* event) {
    Recorded recorded;
    recorded.type = event->type();
    switch (event->type()) {
        case QAccessible::TextSelectionChanged: {
            auto* selection = static_cast<QAccessibleTextSelectionEvent*>(event);
            recorded.cursor = selection->cursorPosition();
            recorded.selectionStart = selection->selectionStart();
            recorded.selectionEnd = selection->selectionEnd();
            break;
        }
        case QAccessible::TextCaretMoved:
            recorded.cursor = static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition();
            break;
        case QAccessible::TextUpdated: {
            auto* update = static_cast<QAccessibleTextUpdateEvent*>(event);
            recorded.changePosition = update->changePosition();
            recorded.removed = update->textRemoved();
            recorded.inserted = update->textInserted();
            break;
        }
        default:
            break;
    }
    Events().push_back(recorded);
}

class HexEditAccessible : public korvid::hexedit::testing::HexEditWidget {
protected:
    static void SetUpTestSuite() {
        HexEditWidget::SetUpTestSuite();
        InstallHexEditAccessibility();
    }
    void SetUp() override {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(&Record);
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        Events().clear();
    }

    // A shown, focused editor, its interface, and no events recorded yet.
    QAccessibleInterface* Open(const std::vector<uint8_t>& bytes) {
        MakeEditor(bytes);
        editor_->SetBytesPerRow(8, false, true);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(editor_);
        Events().clear();
        return iface;
    }

    static std::vector<Recorded> Of(QAccessible::Event type) {
        std::vector<Recorded> found;
        for (const Recorded& event : Events()) {
            if (event.type == type) {
                found.push_back(event);
            }
        }
        return found;
    }
};

TEST_F(HexEditAccessible, AnEditableTextWithANameAndASummary) {
    QAccessibleInterface* iface = Open({0x00, 0x3C, 0xFF});
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Hex editor"));
    EXPECT_EQ(iface->text(QAccessible::Value),
              QStringLiteral("Offset 0x00000000, byte 0x00, first digit"));
    EXPECT_TRUE(iface->state().editable);
    EXPECT_TRUE(iface->state().focused);
    EXPECT_TRUE(iface->state().multiLine);
    editor_->SetReadOnly(true, true);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_FALSE(iface->state().editable);

    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 8);
    EXPECT_EQ(text->text(0, text->characterCount()), QStringLiteral("00 3C FF"));
    EXPECT_EQ(text->cursorPosition(), 0);
    EXPECT_EQ(text->selectionCount(), 0);
}

TEST_F(HexEditAccessible, CaretMovesAreToldWithTheirOffset) {
    QAccessibleInterface* iface = Open(std::vector<uint8_t>(32, 0));
    QTest::keyClick(editor_, Qt::Key_Right);
    QTest::keyClick(editor_, Qt::Key_Down);
    ASSERT_EQ(Of(QAccessible::TextCaretMoved).size(), 2u);
    EXPECT_EQ(Of(QAccessible::TextCaretMoved)[0].cursor, 1);
    EXPECT_EQ(Of(QAccessible::TextCaretMoved)[1].cursor, 25);  // byte 8, second digit
    EXPECT_EQ(iface->textInterface()->cursorPosition(), 25);
    EXPECT_EQ(iface->text(QAccessible::Value),
              QStringLiteral("Offset 0x00000008, byte 0x00, second digit"));

    // A key that moves nothing tells nothing.
    Events().clear();
    QTest::keyClick(editor_, Qt::Key_Home);
    QTest::keyClick(editor_, Qt::Key_Home);
    EXPECT_EQ(Of(QAccessible::TextCaretMoved).size(), 1u);

    Events().clear();
    QTest::mouseClick(editor_, Qt::LeftButton, Qt::NoModifier, Cell(3, 1));
    ASSERT_EQ(Of(QAccessible::TextCaretMoved).size(), 1u);
    EXPECT_EQ(Of(QAccessible::TextCaretMoved)[0].cursor, 27);  // byte 9, first digit
}

TEST_F(HexEditAccessible, SelectionChangesAreToldAndReadable) {
    QAccessibleInterface* iface = Open(std::vector<uint8_t>(32, 0));
    QTest::keyClick(editor_, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(editor_, Qt::Key_Right, Qt::ShiftModifier);
    const auto selections = Of(QAccessible::TextSelectionChanged);
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(selections[0].selectionStart, 0);
    EXPECT_EQ(selections[0].selectionEnd, 2);
    EXPECT_EQ(selections[1].selectionStart, 0);
    EXPECT_EQ(selections[1].selectionEnd, 5);
    EXPECT_EQ(selections[1].cursor, 3);
    int start = 0;
    int end = 0;
    iface->textInterface()->selection(0, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(iface->textInterface()->selectionCount(), 1);
    EXPECT_EQ(iface->text(QAccessible::Value),
              QStringLiteral(
                  "Offset 0x00000001, byte 0x00, first digit; selected 0x00000000 to 0x00000001 "
                  "(2 bytes)"));

    // Select all, and a plain move that drops the selection: an empty one at the caret.
    Events().clear();
    QTest::keyClick(editor_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor_, Qt::Key_Right);
    const auto later = Of(QAccessible::TextSelectionChanged);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_EQ(later[0].selectionEnd, 95);
    EXPECT_EQ(later[1].selectionStart, 4);
    EXPECT_EQ(later[1].selectionEnd, 4);
    EXPECT_EQ(iface->textInterface()->selectionCount(), 0);
}

TEST_F(HexEditAccessible, EditsAreToldAsTextUpdates) {
    Open({0x00, 0x00, 0x00});
    QTest::keyClick(editor_, Qt::Key_4);
    auto updates = Of(QAccessible::TextUpdated);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].changePosition, 0);
    EXPECT_EQ(updates[0].removed, QStringLiteral("00"));
    EXPECT_EQ(updates[0].inserted, QStringLiteral("40"));

    Events().clear();
    SetClipboardBlock(QByteArray("\x02\x00\x00\x00\xAB\xCD", 6));
    editor_->SetSelection(1, 1, false, true);
    QTest::keyClick(editor_, Qt::Key_V, Qt::ControlModifier);
    updates = Of(QAccessible::TextUpdated);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].changePosition, 3);
    EXPECT_EQ(updates[0].removed, QStringLiteral("00 00"));
    EXPECT_EQ(updates[0].inserted, QStringLiteral("AB CD"));

    // New data replaces the whole text.
    Events().clear();
    const uint8_t other[] = {0x11};
    editor_->SetData(other, 1, true);
    updates = Of(QAccessible::TextUpdated);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].removed, QStringLiteral("40 AB CD"));
    EXPECT_EQ(updates[0].inserted, QStringLiteral("11"));
}

TEST_F(HexEditAccessible, ReadersMoveSelectAndScroll) {
    std::vector<uint8_t> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    QAccessibleInterface* iface = Open(bytes);
    QAccessibleTextInterface* text = iface->textInterface();

    text->setCursorPosition(16);
    EXPECT_EQ(editor_->Core().Caret(), (CaretPosition{5, false}));
    text->setSelection(0, 6, 14);
    EXPECT_EQ(editor_->Core().Cursor().SelectionStart(), 2u);
    EXPECT_EQ(editor_->Core().Cursor().SelectionEnd(), 4u);
    text->removeSelection(0);
    EXPECT_FALSE(editor_->Core().Cursor().HasSelection());

    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(30, QAccessible::LineBoundary, &start, &end),
              QStringLiteral("08 09 0A 0B 0C 0D 0E 0F\n"));
    EXPECT_EQ(start, 24);
    EXPECT_EQ(end, 48);
    EXPECT_EQ(text->textAtOffset(30, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("0A "));
    EXPECT_EQ(text->textAfterOffset(30, QAccessible::CharBoundary, &start, &end),
              QStringLiteral("A"));
    EXPECT_EQ(text->textBeforeOffset(30, QAccessible::LineBoundary, &start, &end).size(), 24);
    EXPECT_EQ(text->textAtOffset(-5, QAccessible::CharBoundary, &start, &end), QString());
    EXPECT_EQ(start, -1);

    // Character rectangles on screen, and the offset back from a point.
    const QRect rect = text->characterRect(27);  // byte 9, first digit
    ASSERT_FALSE(rect.isEmpty());
    EXPECT_EQ(rect.topLeft(), editor_->mapToGlobal(Cell(3, 1) - QPoint(1, 3)));
    EXPECT_EQ(text->offsetAtPoint(rect.center()), 27);
    EXPECT_EQ(text->offsetAtPoint(editor_->mapToGlobal(QPoint(-10, -10))), -1);

    // A far byte is out of view until a reader scrolls to it.
    const int far = 3 * 4000;
    EXPECT_TRUE(text->characterRect(far).isEmpty());
    text->scrollToSubstring(far, far + 2);
    EXPECT_GT(editor_->Core().Viewport().TopRow(), 0u);
    EXPECT_FALSE(text->characterRect(far).isEmpty());
}

}  // namespace
