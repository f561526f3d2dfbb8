// The object behind a dialog procedure: handed over as the creation parameter,
// kept in the dialog's DWLP_USER from WM_INITDIALOG on.
#pragma once

#include <windows.h>

namespace korvid::win32 {

// The object of dialog; null for the messages that come before WM_INITDIALOG.
template <typename T>
T* DialogObject(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

}  // namespace korvid::win32
