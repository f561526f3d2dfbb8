// "Select AP/IAP area" (template 129) over its model: the two areas, the address
// field behind the hexadecimal digit filter, OK and Cancel.
#pragma once

#include "AreaDialog.h"

#include <windows.h>

namespace korvid::win32 {

class AreaDialogWindow {
public:
    // Runs the dialog modally over owner; true when it ended with OK.
    static bool Run(HINSTANCE instance, HWND owner, workbench::AreaDialog& model);

    // The dialog's messages (ObjectDialogProcedure).
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);

private:
    explicit AreaDialogWindow(workbench::AreaDialog& model) : model_(model) {}
    void Render(HWND dialog);

    workbench::AreaDialog& model_;
    bool rendering_ = false;
};

}  // namespace korvid::win32
