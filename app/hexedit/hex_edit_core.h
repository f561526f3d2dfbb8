// HexEditCore: the whole state of a hex editor control and every rule that needs
// no window. A front end supplies the font's character cell (hex_font_cell.h),
// the client size, the focus and the drag threshold, forwards input as neutral
// key codes (hex_input.h), and draws the paint plan made from it (hex_paint_plan.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hex_auto_scroll.h"
#include "hex_cursor.h"
#include "hex_geometry.h"
#include "hex_input.h"
#include "hex_layout.h"
#include "hex_viewport.h"
#include "hex_wheel.h"

namespace korvid::hexedit {

// COLORREF values, 0x00BBGGRR.
struct HexColors {
    uint32_t addressBackground = 0x0000005A;
    uint32_t addressText = 0x000000FF;
    uint32_t charsBackground = 0x00001400;
    uint32_t charsText = 0x0000FF00;
    uint32_t hexBackground = 0x00BED2B4;
    uint32_t hexText = 0x00FF0000;
    uint32_t background = 0x00D2D2D2;
};

// Address columns wider than this are clamped to it.
inline constexpr uint32_t kMaxAddressDigits = 31;

struct CopyBlocks {
    std::string text;
    std::vector<uint8_t> binaryData;
};

class HexEditCore {
public:
    explicit HexEditCore(bool multiLine = true);

    bool IsMultiLine() const { return multiLine_; }

    // --- Data ---
    // A null source leaves the control without data; otherwise it keeps a copy.
    // Clears the selection and anchor and puts the caret on offset 0's high nibble.
    void SetData(const uint8_t* source, uint32_t length);
    // Copies min(capacity, length) bytes; returns the data length (0 without data).
    uint32_t GetData(uint8_t* destination, uint32_t capacity) const;
    uint32_t GetDataSize() const { return static_cast<uint32_t>(data_.size()); }
    bool HasData() const { return hasData_; }
    // Data present and at least one byte: the condition for every edit and move.
    bool HasBytes() const { return hasData_ && !data_.empty(); }
    std::span<const uint8_t> Data() const { return data_; }

    // --- Settings (each returns whether it changed anything) ---
    bool SetBytesPerRow(unsigned count, bool autoFit);
    bool SetShowAddress(bool show);
    bool SetShowAscii(bool show);
    void SetAddressDigits(uint8_t digits);
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool IsReadOnly() const { return readOnly_; }
    bool ShowAddress() const { return showAddress_; }
    bool ShowAscii() const { return showChars_; }
    uint32_t AddressDigits() const { return addressDigits_; }
    HexColors& Colors() { return colors_; }
    const HexColors& Colors() const { return colors_; }

    // --- What the window supplies ---
    // The cell of the font drawn with. Until one is given (or with 0) nothing
    // is laid out: no row shows.
    void SetCharMetrics(int64_t charWidthPx, int64_t charHeightPx);
    // The client area changed: runs the layout now and re-places the caret.
    void SetClientSize(int64_t widthPx, int64_t heightPx);
    RectPx ClientRect() const { return {0, 0, clientWidthPx_, clientHeightPx_}; }
    // Pointer travel (width and height) before a press turns into a drag.
    void SetDragSize(int64_t widthPx, int64_t heightPx);
    void SetFocused(bool focused);
    bool Focused() const { return focused_; }
    void MarkLayoutDirty() { layoutDirty_ = true; }
    bool LayoutDirty() const { return layoutDirty_; }
    // Called after every layout run, so the window can bring its scroll bars up
    // to date once the current event is done.
    void SetLayoutListener(std::function<void()> listener) {
        layoutListener_ = std::move(listener);
    }

    // Runs the layout if it is dirty and returns it.
    const Layout& EnsureLayout();
    void RunLayout();
    const HexViewport& Viewport() const { return viewport_; }

    // --- Caret, selection, keyboard ---
    const HexCursor& Cursor() const { return cursor_; }
    CaretPosition Caret() const { return cursor_.Caret(); }
    void PlaceCaret(CaretPosition caret);
    // The block caret to show: none without bytes, without focus, or when the
    // caret's row or column is out of view.
    std::optional<RectPx> CaretRect() const;
    // Values at or past the end are clamped to the last byte; kNoOffset means none.
    void SetSelection(uint32_t start, uint32_t end, bool makeVisible);
    void SelectAll();
    // The single path of keyboard moves and typing: without Shift the selection
    // and anchor are dropped, with Shift and an anchor the selection follows.
    void MoveCaret(CaretMove move, bool shiftDown);
    // A key press. An edit command (CommandForKey) is only reported: the front
    // end runs it with its clipboard. Any other key first makes the caret the
    // anchor when Shift is down and there is none (Shift itself included); then
    // Tab without Control or Alt asks to move the focus, and navigation keys
    // move the caret.
    KeyOutcome KeyDown(HexKey key, KeyModifiers modifiers);
    // Overwrites the caret's nibble with a typed hex digit, in either case, and
    // moves on; true when taken. Refused with Control, Alt or the Windows key
    // held, read-only, or without bytes.
    bool TypeCharacter(uint32_t character, KeyModifiers modifiers);

    // --- Scrolling ---
    void SetTopRow(uint32_t row);
    void SetHorzScroll(int64_t pixels);
    void ScrollRows(int64_t deltaRows);
    void ScrollPixels(int64_t deltaPx);
    void EnsureVisible(uint32_t firstOffset, uint32_t lastOffset);
    // A wheel turn in eighths of a degree (120 a notch), positive away from the user:
    // a row per notch, finer steps carried over until they make a row (WheelRows).
    void Wheel(int angleDelta);
    ScrollBarRange VerticalBar() const { return viewport_.VerticalBar(); }
    ScrollBarRange HorizontalBar() const { return viewport_.HorizontalBar(); }
    CaretPosition HitTest(PointPx point);

    // --- Clipboard ---
    // Both forms of the selection; none without a selection.
    std::optional<CopyBlocks> Copy();
    // Whether a paste can write anything: not read-only, with bytes.
    bool CanPaste() const { return !readOnly_ && HasBytes(); }
    // Overwrites bytes from the selection start (else the caret) with the bytes a
    // "BinaryData" block carries, cut at the end of the buffer. Returns the
    // number of bytes written; 0 changes nothing.
    uint32_t Paste(std::span<const uint8_t> binaryDataBlock);

    // --- Mouse ---
    void MouseDown(PointPx point);
    void MouseMove(PointPx point, bool leftButtonDown);
    void MouseUp();
    void MouseDoubleClick(PointPx point);
    void AutoScrollTick();
    const AutoScroll& GetAutoScroll() const { return autoScroll_; }
    RectPx DragStartRect() const { return dragStartRect_; }

private:
    void SelectToCaret(PointPx point);

    const bool multiLine_;
    bool hasData_ = false;
    std::vector<uint8_t> data_;

    unsigned configuredBytesPerRow_ = 16;
    bool autoFit_ = false;
    bool showAddress_ = false;
    bool showChars_ = false;
    uint32_t addressDigits_ = 8;
    bool readOnly_ = false;
    HexColors colors_;

    int64_t charWidthPx_ = 0;
    int64_t charHeightPx_ = 0;
    int64_t clientWidthPx_ = 0;
    int64_t clientHeightPx_ = 0;
    int64_t dragWidthPx_ = 4;
    int64_t dragHeightPx_ = 4;
    bool focused_ = false;
    bool layoutDirty_ = true;
    std::function<void()> layoutListener_;

    HexViewport viewport_;
    HexCursor cursor_;
    AutoScroll autoScroll_;
    WheelRows wheel_;
    RectPx dragStartRect_;
};

}  // namespace korvid::hexedit
