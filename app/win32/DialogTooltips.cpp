#include "DialogTooltips.h"

#include "wide_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace korvid::win32 {
namespace {

// Tips wrap at this width, so that a long one does not run across the screen.
constexpr int kTipWidthPx = 400;

// Moves and clicks in client coordinates (the wheel's are screen coordinates).
bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

}  // namespace

DialogTooltips::DialogTooltips(HWND dialog)
    : dialog_(dialog),
      tips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                            nullptr, nullptr, nullptr)) {
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, kTipWidthPx);
    SendMessageW(tips_, TTM_ACTIVATE, TRUE, 0);
}

DialogTooltips::~DialogTooltips() {
    if (IsWindow(tips_)) {
        DestroyWindow(tips_);
    }
}

TOOLINFOW DialogTooltips::ToolOf(int controlId) const {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog_;
    tool.uId = static_cast<UINT_PTR>(controlId);
    return tool;
}

void DialogTooltips::SetTip(int controlId, std::string_view utf8) {
    std::wstring text = core::WideFromUtf8(utf8);
    TOOLINFOW tool = ToolOf(controlId);
    tool.lpszText = text.data();
    const HWND control = GetDlgItem(dialog_, controlId);
    GetWindowRect(control, &tool.rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&tool.rect), 2);

    TOOLINFOW existing = ToolOf(controlId);
    if (SendMessageW(tips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing)) == FALSE) {
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DialogTooltips::Relay(const MSG& message) const {
    if (!IsMouseMessage(message.message) ||
        (message.hwnd != dialog_ && !IsChild(dialog_, message.hwnd))) {
        return;
    }
    MSG relayed = message;
    if (message.hwnd != dialog_) {
        POINT point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        MapWindowPoints(message.hwnd, dialog_, &point, 1);
        relayed.hwnd = dialog_;
        relayed.lParam = MAKELPARAM(point.x, point.y);
    }
    SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace korvid::win32
