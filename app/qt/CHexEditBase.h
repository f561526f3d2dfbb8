// CHexEditBase: the hexadecimal editor control of the workbench. It shows a byte
// buffer as rows of two-digit hexadecimal values with an optional address column
// and character column, and lets the user overwrite nibbles, select, copy and paste.
// All rules that need no window live in korvid::hexedit::HexEditCore; this widget
// measures its font for the core's font rule, draws the core's paint plan and
// turns Qt events into core calls.
// It tells assistive technologies of every change of the caret, the selection
// and the data; what they read and ask of it is CHexEditBaseAccessible's, which
// a program installs before it creates its first editor.
#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "hex_accessible_text.h"
#include "hex_edit_font.h"
#include "hex_paint_plan.h"

class QScrollBar;

namespace korvid::hexedit {
class HexEditCore;
}

class CHexEditBase : public QWidget {
    Q_OBJECT

public:
    // multiLine selects the multi-line style (5 px inset, scroll bars, auto-scroll);
    // without it all bytes stand on one row.
    explicit CHexEditBase(QWidget* parent = nullptr, bool multiLine = true);
    ~CHexEditBase() override;

    // Replaces the shown bytes with a private copy of length bytes. A null source
    // leaves the control without data: it then shows nothing and ignores input.
    void SetData(const uint8_t* source, uint32_t length, bool redraw);
    // Copies min(capacity, length) bytes and returns the full data length (0
    // without data).
    uint32_t GetData(uint8_t* destination, uint32_t capacity) const;
    uint32_t GetDataSize() const;

    void SetBytesPerRow(unsigned count, bool autoFit, bool redraw);
    void SetShowAddress(bool show, bool redraw);
    void SetShowAscii(bool show, bool redraw);
    // Digit counts above 31 are clamped to 31.
    void SetAddressDigits(uint8_t digits, bool redraw);

    // Colours are COLORREF values 0x00BBGGRR.
    void SetAddressColors(uint32_t background, uint32_t text, bool redraw);
    void SetHexColors(uint32_t background, uint32_t text, bool redraw);
    void SetAsciiColors(uint32_t background, uint32_t text, bool redraw);
    void SetBackgroundColor(uint32_t color, bool redraw);

    virtual void SetReadOnly(bool readOnly, bool redraw);

    // Inclusive range; 0xFFFFFFFF for either end means no selection.
    void SetSelection(uint32_t start, uint32_t end, bool makeVisible, bool redraw);

    bool IsMultiLine() const;
    // The font drawn with: the first one accepted, kept until another is.
    QFont GetFont() const;
    // Read access to the control's state (caret, selection, layout) for callers
    // that need more than the operations above.
    const korvid::hexedit::HexEditCore& Core() const { return *core_; }
    // The same with the layout brought up to date, for callers that ask between
    // two paintings (assistive technologies).
    const korvid::hexedit::HexEditCore& LaidOutCore();

    // Puts the caret at caret as a key without Shift moves it there: the
    // selection goes and the caret's byte scrolls into view.
    void MoveCaretTo(korvid::hexedit::CaretPosition caret);
    // Scrolls the bytes firstOffset to lastOffset into view.
    void ShowRange(uint32_t firstOffset, uint32_t lastOffset);

public slots:
    // The standard edit commands; also reached by Ctrl+C, Ctrl+V, Ctrl+A and the
    // platform's copy, paste and select-all key sequences.
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();

signals:
    // The user changed the data: after a typed nibble and after a paste that
    // copied at least one byte. Never emitted by SetData.
    void editChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Draws with the first candidate the core's font rule accepts; with none,
    // keeps the font it has.
    void AdoptFont(const std::vector<QFont>& candidates);
    void OnKey(QKeyEvent* event);
    void ApplyClientSize();
    void UpdateScrollBars();
    void ScheduleScrollBarUpdate();
    void SyncScrollBarPositions();
    void SyncAutoScrollTimer();
    void Redraw(bool redraw);
    void Refresh();
    void RestartCaretBlink();
    void OnAutoScrollTick();
    void OnVerticalValue(int value);
    void OnHorizontalValue(int value);
    // Tells readers of a caret or selection that differs from the last one told.
    void AnnounceCaret();
    // The bytes before an edit, kept only while a reader listens, and the text
    // change from them to the bytes now.
    std::optional<std::vector<uint8_t>> BytesBeforeEdit() const;
    void AnnounceEdit(const std::optional<std::vector<uint8_t>>& before);

    std::unique_ptr<korvid::hexedit::HexEditCore> core_;
    // The font the control draws with (its own copy); none until one is accepted.
    std::optional<HexEditFont> font_;
    QScrollBar* verticalBar_;
    QScrollBar* horizontalBar_;
    QTimer caretBlinkTimer_;
    QTimer autoScrollTimer_;
    bool caretBlinkOn_ = true;
    bool scrollBarUpdatePending_ = false;
    korvid::hexedit::AnnouncedCaret announced_;
    // Read from the palette at construction.
    korvid::hexedit::SelectionColors selectionColors_;
};
