#include "CHexEditBase.h"

#include "hex_clipboard.h"
#include "hex_edit_gdi.h"
#include "hex_input.h"
#include "wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <vector>

using korvid::hexedit::HexKey;
using korvid::hexedit::KeyModifiers;
using korvid::hexedit::KeyOutcome;
using korvid::hexedit::PointPx;
using korvid::hexedit::ScrollBarRange;

namespace {

// Posted by the layout listener: the scroll bars follow once the current message
// is done (the layout often runs inside painting).
constexpr UINT kUpdateScrollBarsMessage = 0x5400;
constexpr UINT_PTR kAutoScrollTimer = 1024;
// WM_DPICHANGED_AFTERPARENT, which mingw's headers lack for Windows 7.
constexpr UINT kDpiChangedAfterParent = 0x02E3;
// The default faces, tried in order, and their size: 9 points, as the dialog's
// own font.
constexpr const wchar_t* kDefaultFaces[] = {L"Courier New", L"Consolas", L"Lucida Console",
                                            L"Liberation Mono", L"DejaVu Sans Mono",
                                            L"Noto Sans Mono"};
constexpr int kDefaultPoints = 9;
constexpr int kPointsPerInch = 72;

ATOM registeredClass = 0;

HexKey KeyFor(WPARAM key) {
    switch (key) {
        case VK_TAB:
            return HexKey::Tab;
        case VK_PRIOR:
            return HexKey::PageUp;
        case VK_NEXT:
            return HexKey::PageDown;
        case VK_END:
            return HexKey::End;
        case VK_HOME:
            return HexKey::Home;
        case VK_LEFT:
            return HexKey::Left;
        case VK_UP:
            return HexKey::Up;
        case VK_RIGHT:
            return HexKey::Right;
        case VK_DOWN:
            return HexKey::Down;
        case VK_INSERT:
            return HexKey::Insert;
        case 'A':
            return HexKey::LetterA;
        case 'C':
            return HexKey::LetterC;
        case 'V':
            return HexKey::LetterV;
        default:
            return HexKey::Other;
    }
}

bool KeyIsDown(int key) {
    return GetKeyState(key) < 0;
}

KeyModifiers CurrentModifiers() {
    return {KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL), KeyIsDown(VK_MENU),
            KeyIsDown(VK_LWIN) || KeyIsDown(VK_RWIN)};
}

PointPx PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX));
}

// The window's DPI: the monitor's under per-monitor awareness (Windows 10), else
// the system's.
UINT DpiOf(HWND window) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        return getDpiForWindow(window);
    }
    const HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A global memory block holding bytes, for the clipboard; null when it cannot be
// had.
HGLOBAL GlobalCopy(const void* bytes, std::size_t size) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block == nullptr) {
        return nullptr;
    }
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::copy_n(static_cast<const uint8_t*>(bytes), size, static_cast<uint8_t*>(target));
    GlobalUnlock(block);
    return block;
}

}  // namespace

bool CHexEditBase::Register(HINSTANCE instance) {
    if (registeredClass != 0) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.lpszClassName = kClassName;
    registeredClass = RegisterClassExW(&windowClass);
    return registeredClass != 0;
}

CHexEditBase* CHexEditBase::FromWindow(HWND window) {
    if (window == nullptr || registeredClass == 0 ||
        GetClassLongPtrW(window, GCW_ATOM) != registeredClass) {
        return nullptr;
    }
    return reinterpret_cast<CHexEditBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

CHexEditBase::CHexEditBase(HWND window, bool multiLine)
    : window_(window),
      core_(multiLine),
      binaryDataFormat_(RegisterClipboardFormatW(
          korvid::core::WideFromUtf8(korvid::hexedit::kBinaryDataFormat).c_str())),
      selectionColors_{GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                       GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)} {
    core_.SetLayoutListener([this] { ScheduleScrollBarUpdate(); });
    core_.SetDragSize(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
    AdoptDefaultFont();
}

CHexEditBase::~CHexEditBase() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

LRESULT CALLBACK CHexEditBase::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* control = new CHexEditBase(window, (creation->style & ES_MULTILINE) != 0);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<CHexEditBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete control;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->Handle(message, wParam, lParam);
}

LRESULT CHexEditBase::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window_, &paint);
            Paint(dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills everything itself
        case WM_SIZE:
            core_.SetClientSize(LOWORD(lParam), HIWORD(lParam));
            UpdateScrollBars();
            PlaceSystemCaret();
            return 0;
        case WM_SETFONT:
            return OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case kDpiChangedAfterParent:
            OnDpiChanged();
            return 0;
        case kUpdateScrollBarsMessage:
            scrollBarUpdatePending_ = false;
            UpdateScrollBars();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;  // Tab is moved on by the control itself
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_CHAR:
            return OnChar(wParam) ? 0 : 1;
        case WM_SETFOCUS:
            OnFocusChanged(true);
            return 0;
        case WM_KILLFOCUS:
            OnFocusChanged(false);
            return 0;
        case WM_CONTEXTMENU:
            return 0;  // the control has no context menu
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kCopyCommand:
                    OnEditCopy();
                    return 0;
                case kPasteCommand:
                    OnEditPaste();
                    return 0;
                case kSelectAllCommand:
                    OnEditSelectAll();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_APPCOMMAND:
            // A keyboard's own Copy and Paste keys.
            switch (GET_APPCOMMAND_LPARAM(lParam)) {
                case APPCOMMAND_COPY:
                    OnKeyOutcome(core_.KeyDown(HexKey::CopyKey, CurrentModifiers()));
                    return TRUE;
                case APPCOMMAND_PASTE:
                    OnKeyOutcome(core_.KeyDown(HexKey::PasteKey, CurrentModifiers()));
                    return TRUE;
                default:
                    break;
            }
            break;
        case WM_LBUTTONDOWN:
            SetFocus(window_);
            core_.MouseDown(PointOf(lParam));
            SetCapture(window_);
            Refresh();
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) != 0) {
                core_.MouseMove(PointOf(lParam), true);
                SyncAutoScrollTimer();
                Refresh();
            }
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window_) {
                ReleaseCapture();
            }
            core_.MouseUp();
            SyncAutoScrollTimer();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_CAPTURECHANGED:
            core_.MouseUp();
            SyncAutoScrollTimer();
            return 0;
        case WM_LBUTTONDBLCLK:
            SetFocus(window_);
            core_.MouseDoubleClick(PointOf(lParam));
            Refresh();
            return 0;
        case WM_TIMER:
            if (wParam == kAutoScrollTimer) {
                core_.AutoScrollTick();
                SyncAutoScrollTimer();
                Refresh();
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
            core_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            Refresh();
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void CHexEditBase::SetData(const uint8_t* source, uint32_t length, bool redraw) {
    core_.SetData(source, length);
    Redraw(redraw);
    PlaceSystemCaret();
}

uint32_t CHexEditBase::GetData(uint8_t* destination, uint32_t capacity) const {
    return core_.GetData(destination, capacity);
}

uint32_t CHexEditBase::GetDataSize() const {
    return core_.GetDataSize();
}

void CHexEditBase::SetShowAddress(bool show, bool redraw) {
    if (core_.SetShowAddress(show)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetAddressDigits(uint8_t digits, bool redraw) {
    core_.SetAddressDigits(digits);
    Redraw(redraw);
}

void CHexEditBase::SetShowAscii(bool show, bool redraw) {
    if (core_.SetShowAscii(show)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetBytesPerRow(unsigned count, bool autoFit, bool redraw) {
    if (core_.SetBytesPerRow(count, autoFit)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetAddressColors(uint32_t background, uint32_t text, bool redraw) {
    core_.Colors().addressBackground = background;
    core_.Colors().addressText = text;
    Redraw(redraw);
}

void CHexEditBase::SetHexColors(uint32_t background, uint32_t text, bool redraw) {
    core_.Colors().hexBackground = background;
    core_.Colors().hexText = text;
    Redraw(redraw);
}

void CHexEditBase::SetAsciiColors(uint32_t background, uint32_t text, bool redraw) {
    core_.Colors().charsBackground = background;
    core_.Colors().charsText = text;
    Redraw(redraw);
}

void CHexEditBase::SetBackgroundColor(uint32_t color, bool redraw) {
    core_.Colors().background = color;
    Redraw(redraw);
}

void CHexEditBase::SetReadOnly(bool readOnly, bool redraw) {
    core_.SetReadOnly(readOnly);
    Redraw(redraw);
}

void CHexEditBase::SetSelection(uint32_t start, uint32_t end, bool makeVisible, bool redraw) {
    core_.SetSelection(start, end, makeVisible);
    Refresh();
    Redraw(redraw);
}

void CHexEditBase::OnEditCopy() {
    const auto blocks = core_.Copy();
    if (!blocks) {
        return;
    }
    // The text form ends with a zero byte.
    const HGLOBAL binary = GlobalCopy(blocks->binaryData.data(), blocks->binaryData.size());
    const HGLOBAL text = GlobalCopy(blocks->text.c_str(), blocks->text.size() + 1);
    if (binary == nullptr || text == nullptr || !OpenClipboard(window_)) {
        for (const HGLOBAL block : {binary, text}) {
            if (block != nullptr) {
                GlobalFree(block);
            }
        }
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(binaryDataFormat_, binary) == nullptr) {
        GlobalFree(binary);
    }
    if (SetClipboardData(CF_TEXT, text) == nullptr) {
        GlobalFree(text);
    }
    CloseClipboard();
}

void CHexEditBase::OnEditPaste() {
    if (!core_.CanPaste() || !OpenClipboard(window_)) {
        return;
    }
    uint32_t written = 0;
    if (const HANDLE block = GetClipboardData(binaryDataFormat_); block != nullptr) {
        if (const void* bytes = GlobalLock(block); bytes != nullptr) {
            written = core_.Paste(std::span<const uint8_t>(static_cast<const uint8_t*>(bytes),
                                                           GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    if (written > 0) {
        Refresh();
        NotifyChanged();
    }
}

void CHexEditBase::OnEditSelectAll() {
    core_.SelectAll();
    InvalidateRect(window_, nullptr, FALSE);
}

void CHexEditBase::OnKeyDown(WPARAM key) {
    OnKeyOutcome(core_.KeyDown(KeyFor(key), CurrentModifiers()));
}

void CHexEditBase::OnKeyOutcome(KeyOutcome outcome) {
    switch (outcome) {
        case KeyOutcome::Copy:
            OnEditCopy();
            return;
        case KeyOutcome::Paste:
            OnEditPaste();
            return;
        case KeyOutcome::SelectAll:
            OnEditSelectAll();
            return;
        case KeyOutcome::FocusNext:
        case KeyOutcome::FocusPrevious:
            // The dialog moves the focus, as Tab does between its other controls.
            if (const HWND parent = GetParent(window_); parent != nullptr) {
                SendMessageW(parent, WM_NEXTDLGCTL, outcome == KeyOutcome::FocusPrevious, FALSE);
            }
            return;
        case KeyOutcome::CaretMoved:
            Refresh();
            return;
        case KeyOutcome::None:
            return;
    }
}

bool CHexEditBase::OnChar(WPARAM character) {
    if (!core_.TypeCharacter(static_cast<uint32_t>(character), CurrentModifiers())) {
        return false;
    }
    Refresh();
    NotifyChanged();
    return true;
}

void CHexEditBase::OnScroll(int bar, WORD request) {
    if (!core_.HasBytes()) {
        return;
    }
    core_.EnsureLayout();
    const bool vertical = bar == SB_VERT;
    // Rows vertically, pixels horizontally.
    const ScrollBarRange range = vertical ? core_.VerticalBar() : core_.HorizontalBar();
    const int64_t line = range.lineStep;
    const int64_t page = range.page;
    const auto scroll = [&](int64_t delta) {
        if (vertical) {
            core_.ScrollRows(delta);
        } else {
            core_.ScrollPixels(delta);
        }
    };
    switch (request) {
        case SB_LINEUP:
            scroll(-line);
            break;
        case SB_LINEDOWN:
            scroll(line);
            break;
        case SB_PAGEUP:
            scroll(-page);
            break;
        case SB_PAGEDOWN:
            scroll(page);
            break;
        case SB_THUMBTRACK: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(window_, bar, &info);
            if (vertical) {
                core_.SetTopRow(static_cast<uint32_t>(std::max(info.nTrackPos, 0)));
            } else {
                core_.SetHorzScroll(std::max(info.nTrackPos, 0));
            }
            break;
        }
        default:
            return;
    }
    Refresh();
}

void CHexEditBase::OnFocusChanged(bool focused) {
    core_.SetFocused(focused);
    PlaceSystemCaret();
    InvalidateRect(window_, nullptr, FALSE);  // the selection's colours follow the focus
}

LRESULT CHexEditBase::OnSetFont(HFONT font, bool redraw) {
    // A copy of the font, never the caller's, and only one the cell rule accepts.
    LOGFONTW description{};
    if (font != nullptr && GetObjectW(font, sizeof description, &description) == sizeof description) {
        AdoptFirstAccepted({description}, false);
    }
    core_.MarkLayoutDirty();
    Redraw(redraw);
    return 0;
}

void CHexEditBase::OnDpiChanged() {
    if (defaultFont_) {
        AdoptDefaultFont();
        Redraw(true);
    }
}

void CHexEditBase::AdoptDefaultFont() {
    std::vector<LOGFONTW> candidates;
    for (const wchar_t* face : kDefaultFaces) {
        LOGFONTW description{};
        description.lfHeight =
            -MulDiv(kDefaultPoints, static_cast<int>(DpiOf(window_)), kPointsPerInch);
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
        candidates.push_back(description);
    }
    AdoptFirstAccepted(candidates, true);
}

bool CHexEditBase::AdoptFirstAccepted(const std::vector<LOGFONTW>& candidates, bool isDefault) {
    // Each candidate's font is made when it is measured, and kept only if chosen.
    const HDC dc = CreateCompatibleDC(nullptr);
    HFONT measured = nullptr;
    const auto chosen = korvid::hexedit::ChooseFont(
        candidates.size(), [&](std::size_t index) -> std::optional<korvid::hexedit::FontMeasure> {
            if (measured != nullptr) {
                DeleteObject(measured);
            }
            measured = CreateFontIndirectW(&candidates[index]);
            if (measured == nullptr) {
                return std::nullopt;
            }
            return korvid::win32::MeasureFont(dc, measured);
        });
    DeleteDC(dc);
    if (!chosen) {
        if (measured != nullptr) {
            DeleteObject(measured);
        }
        return false;
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = measured;
    defaultFont_ = isDefault;
    core_.SetCharMetrics(chosen->cell.widthPx, chosen->cell.heightPx);
    PlaceSystemCaret();
    return true;
}

void CHexEditBase::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    // Off screen first, then copied in one step: every change repaints the whole
    // client area, without flicker. The caret is the system's.
    const HDC offscreen = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                  std::max<LONG>(client.bottom, 1));
    const HGDIOBJ previous = SelectObject(offscreen, bitmap);
    const korvid::hexedit::PaintPlan plan = korvid::hexedit::PlanPaint(core_, false);
    korvid::win32::DrawPaintPlan(offscreen, plan, font_, core_.Colors(), selectionColors_);
    BitBlt(dc, 0, 0, client.right, client.bottom, offscreen, 0, 0, SRCCOPY);
    SelectObject(offscreen, previous);
    DeleteObject(bitmap);
    DeleteDC(offscreen);
}

void CHexEditBase::UpdateScrollBars() {
    if (!core_.IsMultiLine()) {
        return;
    }
    // Showing or hiding a bar changes the client area, and so the layout: a few
    // rounds settle it (each shown or hidden bar sends WM_SIZE at once).
    for (int round = 0; round < 3; ++round) {
        const ScrollBarRange vertical = core_.VerticalBar();
        const ScrollBarRange horizontal = core_.HorizontalBar();
        const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        if (vertical.shown == ((style & WS_VSCROLL) != 0) &&
            horizontal.shown == ((style & WS_HSCROLL) != 0)) {
            break;
        }
        ShowScrollBar(window_, SB_VERT, vertical.shown);
        ShowScrollBar(window_, SB_HORZ, horizontal.shown);
    }
    for (const int bar : {SB_VERT, SB_HORZ}) {
        const ScrollBarRange range = bar == SB_VERT ? core_.VerticalBar() : core_.HorizontalBar();
        if (!range.shown) {
            continue;
        }
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = ClampToInt(range.rangeMax);
        info.nPage = static_cast<UINT>(ClampToInt(range.page));
        info.nPos = ClampToInt(range.position);
        SetScrollInfo(window_, bar, &info, TRUE);
    }
}

void CHexEditBase::ScheduleScrollBarUpdate() {
    if (!scrollBarUpdatePending_ && PostMessageW(window_, kUpdateScrollBarsMessage, 0, 0)) {
        scrollBarUpdatePending_ = true;
    }
}

void CHexEditBase::Refresh() {
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    if (style & WS_VSCROLL) {
        SetScrollPos(window_, SB_VERT, static_cast<int>(core_.Viewport().TopRow()), TRUE);
    }
    if (style & WS_HSCROLL) {
        SetScrollPos(window_, SB_HORZ, ClampToInt(core_.Viewport().HorzScrollPx()), TRUE);
    }
    PlaceSystemCaret();
    InvalidateRect(window_, nullptr, FALSE);
}

void CHexEditBase::PlaceSystemCaret() {
    const auto caret = core_.CaretRect();
    if (!caret || GetFocus() != window_) {
        if (caretCreated_) {
            DestroyCaret();
            caretCreated_ = false;
        }
        return;
    }
    const SIZE size{ClampToInt(caret->Width()), ClampToInt(caret->Height())};
    if (!caretCreated_ || size.cx != caretSize_.cx || size.cy != caretSize_.cy) {
        CreateCaret(window_, nullptr, size.cx, size.cy);
        caretSize_ = size;
        caretCreated_ = true;
        ShowCaret(window_);
    }
    SetCaretPos(static_cast<int>(caret->left), static_cast<int>(caret->top));
}

void CHexEditBase::SyncAutoScrollTimer() {
    const bool running = core_.GetAutoScroll().Running();
    if (running && !autoScrollTimerRunning_) {
        SetTimer(window_, kAutoScrollTimer, korvid::hexedit::kAutoScrollIntervalMs, nullptr);
    } else if (!running && autoScrollTimerRunning_) {
        KillTimer(window_, kAutoScrollTimer);
    }
    autoScrollTimerRunning_ = running;
}

void CHexEditBase::NotifyChanged() {
    const HWND parent = GetParent(window_);
    if (parent != nullptr) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), EN_CHANGE),
                     reinterpret_cast<LPARAM>(window_));
    }
}

void CHexEditBase::Redraw(bool redraw) {
    if (redraw) {
        InvalidateRect(window_, nullptr, TRUE);
    }
}
