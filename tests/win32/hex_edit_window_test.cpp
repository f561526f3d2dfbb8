// The CHexEditBase window class: messages in, the core's state, the parent's
// change notifications, the clipboard and the scroll bars out.
#include "CHexEditBase.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <numeric>
#include <vector>

namespace korvid::win32 {
namespace {

constexpr int kControlId = 1037;

// A plain parent window that counts its child's change notifications.
class ParentWindow {
public:
    ParentWindow() {
        static const ATOM registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"KorvidHexEditTestParent";
            return RegisterClassExW(&windowClass);
        }();
        window_ = CreateWindowExW(0, MAKEINTATOM(registered), L"parent", WS_OVERLAPPEDWINDOW, 0, 0,
                                  640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    ~ParentWindow() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    int changes = 0;
    int contextMenus = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
                reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* parent = reinterpret_cast<ParentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (parent != nullptr && message == WM_COMMAND && LOWORD(wParam) == kControlId &&
            HIWORD(wParam) == EN_CHANGE) {
            ++parent->changes;
        }
        if (parent != nullptr && message == WM_CONTEXTMENU) {
            ++parent->contextMenus;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_;
};

class HexEditWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ui_test::PrepareWindows()) {
            GTEST_SKIP() << "no windows can be made here (wine needs a display)";
        }
        ASSERT_TRUE(CHexEditBase::Register(GetModuleHandleW(nullptr)));
        parent_ = std::make_unique<ParentWindow>();
        window_ = CreateWindowExW(0, CHexEditBase::kClassName, L"",
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_TABSTOP, 0, 0, 560, 200,
                                  parent_->Window(), reinterpret_cast<HMENU>(kControlId),
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        control_ = CHexEditBase::FromWindow(window_);
        ASSERT_NE(control_, nullptr);
        control_->SetShowAddress(true, true);
        control_->SetShowAscii(true, true);
        ShowWindow(parent_->Window(), SW_SHOW);
        SetFocus(window_);
    }
    void TearDown() override {
        SetModifiers(false, false);
        parent_.reset();
    }

    void SetBytes(std::size_t count) {
        std::vector<uint8_t> bytes(count);
        std::iota(bytes.begin(), bytes.end(), uint8_t{0});
        control_->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
        ui_test::PumpWaiting();
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes(control_->GetDataSize());
        control_->GetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return bytes;
    }
    // Shift and Control as GetKeyState reads them.
    static void SetModifiers(bool shift, bool control) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Key(WPARAM key) { SendMessageW(window_, WM_KEYDOWN, key, 1); }

    std::unique_ptr<ParentWindow> parent_;
    HWND window_ = nullptr;
    CHexEditBase* control_ = nullptr;
};

TEST_F(HexEditWindowTest, TypedDigitsOverwriteNibblesAndTellTheParent) {
    SetBytes(4);
    EXPECT_EQ(SendMessageW(window_, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageW(window_, WM_CHAR, '4', 1), 0);
    EXPECT_EQ(SendMessageW(window_, WM_CHAR, 'f', 1), 0);
    EXPECT_EQ(SendMessageW(window_, WM_CHAR, 'x', 1), 1);  // refused
    EXPECT_EQ(Bytes(), std::vector<uint8_t>({0x4F, 0x01, 0x02, 0x03}));
    EXPECT_EQ(control_->Core().Caret(), (hexedit::CaretPosition{1, true}));
    EXPECT_EQ(parent_->changes, 2);

    // SetData tells nobody.
    SetBytes(4);
    EXPECT_EQ(parent_->changes, 2);

    control_->SetReadOnly(true, true);
    SendMessageW(window_, WM_CHAR, '7', 1);
    EXPECT_EQ(Bytes()[0], 0x00);
    EXPECT_EQ(parent_->changes, 2);
}

TEST_F(HexEditWindowTest, ArrowsMoveTheCaretAndShiftSelects) {
    SetBytes(64);
    Key(VK_RIGHT);
    EXPECT_EQ(control_->Core().Caret(), (hexedit::CaretPosition{0, false}));
    Key(VK_DOWN);
    EXPECT_EQ(control_->Core().Caret(), (hexedit::CaretPosition{16, false}));
    SetModifiers(true, false);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    SetModifiers(false, false);
    // From the low nibble of 16: to 17's high nibble, then its low nibble.
    EXPECT_EQ(control_->Core().Caret(), (hexedit::CaretPosition{17, false}));
    EXPECT_EQ(control_->Core().Cursor().SelectionStart(), 16u);
    EXPECT_EQ(control_->Core().Cursor().SelectionEnd(), 17u);
    Key(VK_END);
    EXPECT_EQ(control_->Core().Caret(), (hexedit::CaretPosition{63, false}));
    EXPECT_FALSE(control_->Core().Cursor().HasSelection());
}

TEST_F(HexEditWindowTest, CopyOffersBinaryDataAndHexTextAndPasteOverwrites) {
    SetBytes(32);
    control_->SetSelection(0x10, 0x12, false, true);
    SetModifiers(false, true);
    Key('C');
    SetModifiers(false, false);

    const UINT binaryData = RegisterClipboardFormatW(L"BinaryData");
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE binary = GetClipboardData(binaryData);
    const HANDLE text = GetClipboardData(CF_TEXT);
    ASSERT_NE(binary, nullptr);
    ASSERT_NE(text, nullptr);
    const auto* block = static_cast<const uint8_t*>(GlobalLock(binary));
    EXPECT_EQ(std::vector<uint8_t>(block, block + 7),
              std::vector<uint8_t>({3, 0, 0, 0, 0x10, 0x11, 0x12}));
    GlobalUnlock(binary);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(text)), "10 11 12\n");
    GlobalUnlock(text);
    CloseClipboard();

    // Pasted at the caret after a move without Shift: overwrites, never inserts.
    Key(VK_HOME);
    SendMessageW(window_, WM_COMMAND, CHexEditBase::kPasteCommand, 0);
    std::vector<uint8_t> expected(32);
    std::iota(expected.begin(), expected.end(), uint8_t{0});
    expected[0] = 0x10;
    expected[1] = 0x11;
    expected[2] = 0x12;
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(parent_->changes, 1);

    // Text alone is never pasted.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const HGLOBAL onlyText = GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(GlobalLock(onlyText), "AA BB", 6);
    GlobalUnlock(onlyText);
    SetClipboardData(CF_TEXT, onlyText);
    CloseClipboard();
    SendMessageW(window_, WM_COMMAND, CHexEditBase::kPasteCommand, 0);
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(parent_->changes, 1);
}

TEST_F(HexEditWindowTest, ControlASelectsAllEvenWhenReadOnly) {
    SetBytes(40);
    control_->SetReadOnly(true, true);
    SetModifiers(false, true);
    Key('A');
    SetModifiers(false, false);
    EXPECT_EQ(control_->Core().Cursor().SelectionStart(), 0u);
    EXPECT_EQ(control_->Core().Cursor().SelectionEnd(), 39u);
}

TEST_F(HexEditWindowTest, LongDataBringsTheVerticalBarWhichScrollsByRows) {
    SetBytes(64);
    EXPECT_EQ(GetWindowLongPtrW(window_, GWL_STYLE) & WS_VSCROLL, 0);
    SetBytes(4096);
    ASSERT_NE(GetWindowLongPtrW(window_, GWL_STYLE) & WS_VSCROLL, 0);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window_, SB_VERT, &info);
    const hexedit::ScrollBarRange range = control_->Core().VerticalBar();
    EXPECT_EQ(info.nMax, range.rangeMax);
    EXPECT_EQ(static_cast<int64_t>(info.nPage), range.page);

    SendMessageW(window_, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(control_->Core().Viewport().TopRow(), 1u);
    EXPECT_EQ(GetScrollPos(window_, SB_VERT), 1);
    // A notch toward the user scrolls a row down; less than a notch is kept.
    SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(control_->Core().Viewport().TopRow(), 2u);
    SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(control_->Core().Viewport().TopRow(), 2u);
    SendMessageW(window_, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(control_->Core().Viewport().TopRow(), 2u + control_->Core().Viewport().GetLayout().fullRows);
}

TEST_F(HexEditWindowTest, MouseDragSelectsFromTheAnchor) {
    SetBytes(64);
    const hexedit::Layout& layout = control_->Core().Viewport().GetLayout();
    const auto cell = [&](uint32_t offset) {
        const int64_t x = layout.textRect.left + layout.hexXPx + 3 * (offset % 16) * layout.charWidthPx;
        const int64_t y = layout.textRect.top + (offset / 16) * layout.charHeightPx + 1;
        return MAKELPARAM(static_cast<int>(x), static_cast<int>(y));
    };
    SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, cell(2));
    EXPECT_EQ(GetCapture(), window_);
    SendMessageW(window_, WM_MOUSEMOVE, MK_LBUTTON, cell(20));
    SendMessageW(window_, WM_LBUTTONUP, 0, cell(20));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(control_->Core().Cursor().SelectionStart(), 2u);
    EXPECT_EQ(control_->Core().Cursor().SelectionEnd(), 20u);
}

TEST_F(HexEditWindowTest, OnlyAFixedPitchFontIsTakenAndAlwaysAsACopy) {
    const HFONT own = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    ASSERT_NE(own, nullptr);
    // Fonts every Windows has, whatever faces are installed: the stock
    // proportional one, and the control's own face at twice its size.
    const HFONT proportional = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(proportional), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)), own);

    const int64_t narrowCell = control_->Core().Viewport().GetLayout().charWidthPx;
    LOGFONTW larger{};
    ASSERT_EQ(GetObjectW(own, sizeof larger, &larger), static_cast<int>(sizeof larger));
    larger.lfHeight *= 2;
    const HFONT fixed = CreateFontIndirectW(&larger);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fixed), TRUE);
    const HFONT taken = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    EXPECT_NE(taken, own);
    EXPECT_NE(taken, fixed);
    SetBytes(16);
    EXPECT_GT(control_->Core().Viewport().GetLayout().charWidthPx, narrowCell);
    DeleteObject(fixed);
}

// The cell is what the glyphs drawn measure, not what the face says of its widest
// glyph (tmMaxCharWidth, which for some fixed-pitch faces is several cells).
TEST_F(HexEditWindowTest, CellIsTheAdvanceOfTheDigitsDrawn) {
    SetBytes(16);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    SelectObject(dc, previous);
    DeleteDC(dc);
    const hexedit::Layout& layout = control_->Core().Viewport().GetLayout();
    EXPECT_EQ(layout.charWidthPx, digit.cx);
    EXPECT_EQ(layout.charHeightPx, digit.cy);
}

// The control's picture, as it paints it into a memory context (WM_PRINTCLIENT).
class Picture {
public:
    explicit Picture(HWND window) {
        GetClientRect(window, &client_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client_.right;
        info.bmiHeader.biHeight = -client_.bottom;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        GdiFlush();
    }
    ~Picture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    // The pixel as a COLORREF.
    COLORREF At(int64_t x, int64_t y) const {
        const uint32_t bgra = pixels_[y * client_.right + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }
    int Count(const RECT& area, COLORREF color) const {
        int count = 0;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                count += At(x, y) == color ? 1 : 0;
            }
        }
        return count;
    }
    const RECT& Client() const { return client_; }

private:
    RECT client_{};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

TEST_F(HexEditWindowTest, WithoutDataOnlyTheBackgroundIsPainted) {
    control_->SetBackgroundColor(RGB(10, 20, 30), true);
    const Picture picture(window_);
    const RECT& client = picture.Client();
    EXPECT_EQ(picture.Count(client, RGB(10, 20, 30)), client.right * client.bottom);
}

TEST_F(HexEditWindowTest, PaintsColumnsSelectionAndDigitsWhereTheLayoutPutsThem) {
    constexpr COLORREF kBackground = RGB(1, 2, 3);
    constexpr COLORREF kAddressFill = RGB(200, 0, 0);
    constexpr COLORREF kHexFill = RGB(0, 200, 0);
    constexpr COLORREF kHexText = RGB(0, 0, 90);
    constexpr COLORREF kCharsFill = RGB(0, 0, 200);
    control_->SetBackgroundColor(kBackground, false);
    control_->SetAddressColors(kAddressFill, RGB(255, 255, 255), false);
    control_->SetHexColors(kHexFill, kHexText, false);
    control_->SetAsciiColors(kCharsFill, RGB(255, 255, 0), false);
    SetBytes(40);
    control_->SetSelection(16, 18, false, true);
    const hexedit::Layout& layout = control_->Core().Viewport().GetLayout();
    const Picture picture(window_);

    const int64_t left = layout.textRect.left;
    const int64_t w = layout.charWidthPx;
    const int64_t h = layout.charHeightPx;
    // Below the three rows each column's background still runs to the bottom.
    const int64_t below = layout.textRect.bottom - 2;
    EXPECT_EQ(picture.At(left + 1, below), kAddressFill);
    EXPECT_EQ(picture.At(left + layout.hexXPx + 1, below), kHexFill);
    EXPECT_EQ(picture.At(left + layout.charsXPx + 1, below), kCharsFill);
    // The gap after the address column and the inset around the text.
    EXPECT_EQ(picture.At(left + layout.addressWidthPx - 2, below), kBackground);
    EXPECT_EQ(picture.At(picture.Client().right - 1, picture.Client().bottom - 1), kBackground);

    // Row 1: the space after byte 16 is selected (the focused highlight) and
    // shows no glyph.
    const int64_t rowTop = layout.textRect.top + h;
    EXPECT_EQ(picture.At(left + layout.hexXPx + 2 * w + w / 2, rowTop + h / 2),
              GetSysColor(COLOR_HIGHLIGHT));
    // Row 0: byte 0's first digit is drawn in the hex text colour in its cell.
    const RECT digit{static_cast<LONG>(left + layout.hexXPx), static_cast<LONG>(layout.textRect.top),
                     static_cast<LONG>(left + layout.hexXPx + w),
                     static_cast<LONG>(layout.textRect.top + h)};
    EXPECT_GT(picture.Count(digit, kHexText), 0);
}

TEST_F(HexEditWindowTest, HasNoContextMenuOfItsOwnAndPassesNoneOn) {
    SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(10, 10));
    EXPECT_EQ(parent_->contextMenus, 0);
}

}  // namespace
}  // namespace korvid::win32
