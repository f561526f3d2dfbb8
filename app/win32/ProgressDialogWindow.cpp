#include "ProgressDialogWindow.h"

#include "dialog_controls.h"
#include "dialog_object.h"
#include "resource_ids.h"

#include <commctrl.h>

namespace korvid::win32 {
namespace {

constexpr UINT_PTR kBlinkTimer = 1;
// The bar follows the worker's progress more often than the notice blinks.
constexpr UINT_PTR kBarTimer = 2;
constexpr UINT kBarRefreshMs = 100;
constexpr UINT kMarqueeStepMs = 30;

}  // namespace

void ProgressDialogWindow::Run(HINSTANCE instance, HWND owner,
                               workbench::ReflashProgress& progress) {
    ProgressDialogWindow window(instance, progress);
    RunModalDialog(instance, owner, IDD_PROGRESS, window);
}

ProgressDialogWindow::ProgressDialogWindow(HINSTANCE instance,
                                           workbench::ReflashProgress& progress)
    : progress_(progress),
      picture_(static_cast<HBITMAP>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDB_PROGRESS), IMAGE_BITMAP, 0, 0, 0))) {}

ProgressDialogWindow::~ProgressDialogWindow() {
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
}

INT_PTR ProgressDialogWindow::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetTimer(dialog, kBlinkTimer, workbench::ReflashProgress::kFirstTickMs, nullptr);
            SetTimer(dialog, kBarTimer, kBarRefreshMs, nullptr);
            Render(dialog);
            return FALSE;  // no control takes the focus
        case WM_TIMER:
            OnTimer(dialog, wParam);
            return TRUE;
        case WM_ERASEBKGND:
            PaintPicture(dialog, reinterpret_cast<HDC>(wParam));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            // The texts stand on the picture: transparent, black, no brush.
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
        }
        case WM_COMMAND:
            // Escape, Enter and Alt+F4 end it only once the worker has finished.
            if ((LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) && progress_.Finished()) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

void ProgressDialogWindow::OnTimer(HWND dialog, UINT_PTR timer) {
    if (timer == kBlinkTimer) {
        if (!progress_.OnTick()) {
            KillTimer(dialog, kBlinkTimer);
            KillTimer(dialog, kBarTimer);
            EndDialog(dialog, IDOK);
            return;
        }
        SetTimer(dialog, kBlinkTimer, workbench::ReflashProgress::kBlinkMs, nullptr);
    }
    Render(dialog);
}

void ProgressDialogWindow::PaintPicture(HWND dialog, HDC dc) const {
    RECT client;
    GetClientRect(dialog, &client);
    BITMAP size{};
    if (picture_ == nullptr || GetObjectW(picture_, sizeof size, &size) == 0) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, picture_);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

void ProgressDialogWindow::ShowTextOverPicture(HWND dialog, int id, const std::string& utf8) {
    if (TextOf(GetDlgItem(dialog, id)) == utf8) {
        return;
    }
    ShowControlText(dialog, id, utf8);
    RECT area;
    GetWindowRect(GetDlgItem(dialog, id), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(dialog, &area, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ProgressDialogWindow::Render(HWND dialog) {
    const workbench::ReflashProgress::State state = progress_.Present();
    ShowTextOverPicture(dialog, IDC_NOTICE, state.notice);
    ShowTextOverPicture(dialog, IDC_REFLASH_BAR_TEXT, state.barText);

    const HWND bar = GetDlgItem(dialog, IDC_REFLASH_BAR);
    // Busy (no range) until the first firmware data is counted.
    const bool busy = state.barMaximum == 0;
    if (busy != busyBar_) {
        const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
        SetWindowLongPtrW(bar, GWL_STYLE, busy ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, busy, kMarqueeStepMs);
        busyBar_ = busy;
    }
    if (!busy) {
        SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(state.barMaximum));
        SendMessageW(bar, PBM_SETPOS, state.barValue, 0);
    }
}

}  // namespace korvid::win32
