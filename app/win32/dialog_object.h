// The object behind a dialog procedure: handed over as the creation parameter,
// kept in the dialog's DWLP_USER from WM_INITDIALOG on, and given every message
// after it.
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

// The dialog procedure of T: object.Handle(dialog, message, wParam) answers.
template <typename T>
INT_PTR CALLBACK ObjectDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    T* object = DialogObject<T>(dialog, message, lParam);
    return object != nullptr ? object->Handle(dialog, message, wParam) : FALSE;
}

// Runs the dialog template templateId modally over owner with object answering its
// messages; the dialog's result.
template <typename T>
INT_PTR RunModalDialog(HINSTANCE instance, HWND owner, int templateId, T& object) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner,
                           ObjectDialogProcedure<T>, reinterpret_cast<LPARAM>(&object));
}

}  // namespace korvid::win32
