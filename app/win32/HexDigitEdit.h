// The hexadecimal entry fields: an edit control whose typed characters pass the
// workbench's hexadecimal digit filter before the control sees them. Keys that
// are not characters, pasting, the mouse and the focus reach it unchanged.
#pragma once

#include <windows.h>

namespace korvid::win32 {

// Puts the filter in front of the edit control's own character handling; form
// feed (12) passes too where allowFormFeed is set.
void AttachHexDigitFilter(HWND edit, bool allowFormFeed);

}  // namespace korvid::win32
