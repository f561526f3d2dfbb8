// The re-flash picture (template 132) over ReflashProgress: picture 134 fills the
// window, the notice blinks over it, the bar counts the firmware bytes sent. It
// has no caption and no buttons and ignores Escape, Enter and Alt+F4 until a tick
// of its timer finds the worker finished.
#pragma once

#include "ReflashProgress.h"

#include <windows.h>

#include <string>

namespace korvid::win32 {

class ProgressDialogWindow {
public:
    static void Run(HINSTANCE instance, HWND owner, workbench::ReflashProgress& progress);

    // The dialog's messages (ObjectDialogProcedure).
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);

private:
    ProgressDialogWindow(HINSTANCE instance, workbench::ReflashProgress& progress);
    ~ProgressDialogWindow();
    ProgressDialogWindow(const ProgressDialogWindow&) = delete;
    ProgressDialogWindow& operator=(const ProgressDialogWindow&) = delete;

    void OnTimer(HWND dialog, UINT_PTR timer);
    void PaintPicture(HWND dialog, HDC dc) const;
    void Render(HWND dialog);
    // Sets a transparent text over the picture, repainting the picture under it.
    void ShowTextOverPicture(HWND dialog, int id, const std::string& utf8);

    workbench::ReflashProgress& progress_;
    HBITMAP picture_;
    bool busyBar_ = false;  // the bar runs as a marquee
};

}  // namespace korvid::win32
