// The hex editor as assistive technologies see it: an editable text whose text
// is the hex column (hex_accessible_text.h), with the caret, the selection and a
// one-sentence summary of both as its value. Readers may also move the caret,
// select and scroll through it. CHexEditBase tells them of caret, selection and
// data changes; this interface uses the editor's public operations only.
#pragma once

#include <QAccessibleWidget>

class CHexEditBase;

namespace korvid::hexedit {
class HexEditCore;
}

class CHexEditBaseAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CHexEditBaseAccessible(CHexEditBase* editor);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    // The value is the caret summary; every other text as for any widget.
    QString text(QAccessible::Text t) const override;

    // QAccessibleTextInterface; offsets are characters of the hex column text.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    CHexEditBase* Editor() const;
    const korvid::hexedit::HexEditCore& Core() const;
};

// Lets Qt's accessibility create the interface above for every CHexEditBase.
// Call it before the first editor is created: Qt makes a widget's interface as
// soon as its accessible name is set, even while accessibility is off, and keeps
// the first one it made for the widget's whole life. Installs once, however
// often it is called.
void InstallHexEditAccessibility();
