// The system's file-open and file-save dialogs with the workbench's filters. Names
// come back as UTF-8 whatever their script and length.
#pragma once

#include "MainDialogView.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace korvid::win32 {

// The filter list of the common dialogs: each entry "Description (*.a;*.b)", NUL,
// "*.a;*.b", NUL, and a second NUL at the end.
std::wstring FilterList(const std::vector<workbench::FileFilter>& filters);

// An existing file; empty when cancelled.
std::string ChooseFileToOpen(HWND owner, const std::vector<workbench::FileFilter>& filters);
// Asks before an existing file is replaced; adds defaultExtension to a name that
// has none. Empty when cancelled.
std::string ChooseFileToSave(HWND owner, const std::vector<workbench::FileFilter>& filters,
                             std::string_view defaultExtension);

}  // namespace korvid::win32
