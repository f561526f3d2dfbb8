#include "window_test_support.h"

#include "dialog_controls.h"
#include "wide_text.h"

#include <commctrl.h>

namespace korvid::win32::ui_test {
namespace {

// The file name field of the Explorer-style file dialogs (cmb13).
constexpr int kFileNameField = 0x47C;

}  // namespace

bool PrepareWindows() {
    static const bool ready = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                           ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                               ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                           nullptr, nullptr, nullptr);
        if (probe == nullptr) {
            return false;
        }
        DestroyWindow(probe);
        return true;
    }();
    return ready;
}

ScratchFolder::ScratchFolder(const std::wstring& name) {
    wchar_t temporary[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temporary);
    path_ = std::wstring(temporary) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::wstring ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = path_ + L"\\" + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

ModalScript::Action ChooseFile(const std::wstring& path) {
    return [path](HWND dialog) {
        SetDlgItemTextW(dialog, kFileNameField, path.c_str());
        Click(dialog, IDOK);
    };
}

ModalScript::Action Press(int id) {
    return [id](HWND dialog) { Click(dialog, id); };
}

void SelectListItem(HWND dialog, int id, int item) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ClickNow(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
}

void TypeCharacters(HWND control, const std::wstring& characters) {
    for (const wchar_t character : characters) {
        SendMessageW(control, WM_CHAR, character, 1);
    }
}

std::string WindowClass(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return core::Utf8FromWide(name);
}

int64_t RegistryNumber(const std::wstring& key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return -1;
    }
    return value;
}

void DeleteRegistryKey(const std::wstring& key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace korvid::win32::ui_test
