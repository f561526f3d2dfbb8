// Showing a dialog's state in its controls by control id: each call changes a
// control only where it differs from what is asked, so that rendering a whole
// state after every event neither flickers nor moves a caret or a scroll position.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace korvid::win32 {

// A window's or control's text as UTF-8.
std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);

void ShowText(HWND window, std::string_view utf8);
void ShowControlText(HWND dialog, int id, std::string_view utf8);
// An edit field's text; when it changes, the caret goes to its end, where a
// field the user is typing in had it.
void ShowEditText(HWND dialog, int id, std::string_view utf8);
void ShowEnabled(HWND dialog, int id, bool enabled);
void ShowVisible(HWND dialog, int id, bool visible);
void ShowChecked(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);

// A drop-down list: its items (refilled only when they differ) and its selection
// (-1 for none).
void ShowListItems(HWND dialog, int id, const std::vector<std::string>& items, int selected);
int SelectedItem(HWND dialog, int id);
std::vector<std::string> ListItems(HWND dialog, int id);

}  // namespace korvid::win32
