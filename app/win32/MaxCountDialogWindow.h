// "Set Max Count & Serial Number" (template 130) over its model: the count, the
// serial number block's text, first number, auto increment and start address,
// and the block's end address.
#pragma once

#include "MaxCountDialog.h"

#include <windows.h>

namespace korvid::win32 {

class MaxCountDialogWindow {
public:
    // Runs the dialog modally over owner; true when it ended with "Ok".
    static bool Run(HINSTANCE instance, HWND owner, workbench::MaxCountDialog& model);

    // The dialog's messages (ObjectDialogProcedure).
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);

private:
    explicit MaxCountDialogWindow(workbench::MaxCountDialog& model) : model_(model) {}
    // Forwards an edit of field id; false for a notification of no interest.
    bool OnFieldEdited(HWND dialog, int id);
    void OnOk(HWND dialog);
    void Render(HWND dialog);

    workbench::MaxCountDialog& model_;
    bool rendering_ = false;
};

}  // namespace korvid::win32
