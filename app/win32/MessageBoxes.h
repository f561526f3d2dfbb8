// The workbench's messages as system message boxes: captioned with the library's
// display name, the error icon for failures, none for success, the question icon
// with Yes and No, the warning icon with OK and Cancel.
#pragma once

#include "MainDialogView.h"

#include <windows.h>

namespace korvid::win32 {

// The box's style bits for message: icon, buttons and default button.
UINT MessageBoxStyle(const workbench::Message& message);

// Shows message modally over owner; the button that ended it.
workbench::MessageAnswer ShowMessageBox(HWND owner, const workbench::Message& message);

}  // namespace korvid::win32
