// The About box (template 100): icon 128, the library's name and version, OK.
#pragma once

#include "display_language.h"

#include <windows.h>

#include <string_view>

namespace korvid::win32 {

void RunAboutDialog(HINSTANCE instance, HWND owner, std::string_view versionText,
                    workbench::Language language);

}  // namespace korvid::win32
