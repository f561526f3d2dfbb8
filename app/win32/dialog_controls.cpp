#include "dialog_controls.h"

#include "wide_text.h"

namespace korvid::win32 {
namespace {

std::wstring WideTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> ListItemsOf(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)) + 1,
                          L'\0');
        const LRESULT length =
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::string TextOf(HWND window) {
    return core::Utf8FromWide(WideTextOf(window));
}

std::string ControlText(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

std::vector<std::string> ListItems(HWND dialog, int id) {
    std::vector<std::string> items;
    for (const std::wstring& item : ListItemsOf(GetDlgItem(dialog, id))) {
        items.push_back(core::Utf8FromWide(item));
    }
    return items;
}

void ShowText(HWND window, std::string_view utf8) {
    const std::wstring wanted = core::WideFromUtf8(utf8);
    if (WideTextOf(window) != wanted) {
        SetWindowTextW(window, wanted.c_str());
    }
}

void ShowControlText(HWND dialog, int id, std::string_view utf8) {
    ShowText(GetDlgItem(dialog, id), utf8);
}

void ShowEditText(HWND dialog, int id, std::string_view utf8) {
    const HWND edit = GetDlgItem(dialog, id);
    const std::wstring wanted = core::WideFromUtf8(utf8);
    if (WideTextOf(edit) != wanted) {
        SetWindowTextW(edit, wanted.c_str());
        const auto end = static_cast<WPARAM>(wanted.size());
        SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
}

void ShowEnabled(HWND dialog, int id, bool enabled) {
    const HWND control = GetDlgItem(dialog, id);
    if ((IsWindowEnabled(control) != FALSE) != enabled) {
        EnableWindow(control, enabled);
    }
}

void ShowVisible(HWND dialog, int id, bool visible) {
    const HWND control = GetDlgItem(dialog, id);
    // The control's own flag: the whole dialog may not be shown yet.
    const bool shown = (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != visible) {
        ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void ShowChecked(HWND dialog, int id, bool checked) {
    if (IsChecked(dialog, id) != checked) {
        CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void ShowListItems(HWND dialog, int id, const std::vector<std::string>& items, int selected) {
    const HWND list = GetDlgItem(dialog, id);
    std::vector<std::wstring> wanted;
    wanted.reserve(items.size());
    for (const std::string& item : items) {
        wanted.push_back(core::WideFromUtf8(item));
    }
    if (ListItemsOf(list) != wanted) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : wanted) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    if (SelectedItem(dialog, id) != selected) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

int SelectedItem(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

}  // namespace korvid::win32
