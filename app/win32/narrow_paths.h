// Paths on their way from the file dialogs (UTF-16) to the library and the job
// logic, which take narrow paths in the program's ANSI code page. The manifest
// makes that code page UTF-8 from Windows 10 version 1903 on; before, a path that
// is not ASCII would reach the files altered (a file not found, or a project
// saved under another name), so the program refuses it and says why.
#pragma once

#include "display_language.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace korvid::win32 {

// Whether the narrow file calls take utf8Path unaltered under ansiCodePage.
bool NarrowCallsTakePath(std::string_view utf8Path, UINT ansiCodePage);

// The message for a path they would alter.
std::string PathRefusedText(std::string_view utf8Path, workbench::Language language);

}  // namespace korvid::win32
