// CHexEditBase: the hexadecimal editor as a window class of its own name, so that
// a dialog template places it by class ("CHexEditBase", id 1037 in the main
// dialog). The window style bit ES_MULTILINE (0x0004) selects the multi-line
// style. Every rule that needs no window is the HexEditCore's: this class
// measures fonts for the core's cell rule, draws the core's paint plan with GDI,
// keeps the system caret (a block one cell wide, blinking as the system blinks
// carets) on the core's caret rectangle, turns window messages into core calls
// and tells its parent of edits (WM_COMMAND with EN_CHANGE, never for SetData).
#pragma once

#include "hex_edit_control.h"
#include "hex_edit_core.h"
#include "hex_input.h"
#include "hex_paint_plan.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class CHexEditBase final : public korvid::hexedit::HexEditControl {
public:
    static constexpr const wchar_t* kClassName = L"CHexEditBase";
    // The standard edit command identifiers the control answers in WM_COMMAND.
    static constexpr WORD kCopyCommand = 0xE122;
    static constexpr WORD kPasteCommand = 0xE125;
    static constexpr WORD kSelectAllCommand = 0xE12A;

    // Registers the window class for instance once; false when that fails.
    static bool Register(HINSTANCE instance);
    // The control of a window of the class; null for any other window.
    static CHexEditBase* FromWindow(HWND window);

    const korvid::hexedit::HexEditCore& Core() const { return core_; }

    // HexEditControl. To redraw is to invalidate the whole client area.
    void SetData(const uint8_t* source, uint32_t length, bool redraw) override;
    uint32_t GetData(uint8_t* destination, uint32_t capacity) const override;
    uint32_t GetDataSize() const override;
    void SetShowAddress(bool show, bool redraw) override;
    void SetAddressDigits(uint8_t digits, bool redraw) override;
    void SetShowAscii(bool show, bool redraw) override;
    void SetBytesPerRow(unsigned count, bool autoFit, bool redraw) override;
    void SetAddressColors(uint32_t background, uint32_t text, bool redraw) override;
    void SetHexColors(uint32_t background, uint32_t text, bool redraw) override;
    void SetAsciiColors(uint32_t background, uint32_t text, bool redraw) override;
    void SetBackgroundColor(uint32_t color, bool redraw) override;
    void SetReadOnly(bool readOnly, bool redraw) override;

    // Inclusive range; 0xFFFFFFFF for either end means no selection.
    void SetSelection(uint32_t start, uint32_t end, bool makeVisible, bool redraw);

    // The standard edit commands, also reached by Ctrl+C, Ctrl+V and Ctrl+A.
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();

private:
    CHexEditBase(HWND window, bool multiLine);
    ~CHexEditBase();
    CHexEditBase(const CHexEditBase&) = delete;
    CHexEditBase& operator=(const CHexEditBase&) = delete;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnKeyDown(WPARAM key);
    // Runs what a key press asked for: an edit command, a focus move, a repaint.
    void OnKeyOutcome(korvid::hexedit::KeyOutcome outcome);
    bool OnChar(WPARAM character);
    void OnScroll(int bar, WORD request);
    void OnFocusChanged(bool focused);
    LRESULT OnSetFont(HFONT font, bool redraw);
    void OnDpiChanged();

    // The first of the candidates whose glyphs the editor's cell rule accepts
    // becomes the font drawn with, with its cell; true when one was accepted. The
    // others are deleted.
    bool AdoptFirstAccepted(const std::vector<LOGFONTW>& candidates, bool isDefault);
    // The default faces at 9 points at the window's DPI.
    void AdoptDefaultFont();
    // Paints the client area through an off-screen bitmap.
    void Paint(HDC dc);
    void UpdateScrollBars();
    void ScheduleScrollBarUpdate();
    // Brings the scroll positions, the system caret and the picture up to date
    // after the core's state changed.
    void Refresh();
    void PlaceSystemCaret();
    void SyncAutoScrollTimer();
    void NotifyChanged();
    void Redraw(bool redraw);

    HWND window_;
    korvid::hexedit::HexEditCore core_;
    HFONT font_ = nullptr;
    bool defaultFont_ = true;
    UINT binaryDataFormat_;
    korvid::hexedit::SelectionColors selectionColors_;
    SIZE caretSize_{};
    bool caretCreated_ = false;
    bool scrollBarUpdatePending_ = false;
    bool autoScrollTimerRunning_ = false;
};
