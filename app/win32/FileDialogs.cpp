#include "FileDialogs.h"

#include "wide_text.h"

#include <commdlg.h>

namespace korvid::win32 {
namespace {

// The longest path Windows takes anywhere (with long paths enabled), and its NUL.
constexpr DWORD kPathChars = 32768;

std::wstring JoinedPatterns(const std::vector<std::string>& patterns) {
    std::wstring joined;
    for (const std::string& pattern : patterns) {
        if (!joined.empty()) {
            joined += L';';
        }
        joined += core::WideFromUtf8(pattern);
    }
    return joined;
}

// Runs GetOpenFileNameW or GetSaveFileNameW; the chosen path, or empty.
std::string RunFileDialog(BOOL(WINAPI* run)(OPENFILENAMEW*), HWND owner,
                          const std::vector<workbench::FileFilter>& filters,
                          std::string_view defaultExtension, DWORD flags) {
    const std::wstring filterList = FilterList(filters);
    const std::wstring extension = core::WideFromUtf8(defaultExtension);
    std::wstring path(kPathChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterList.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathChars;
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | flags;
    if (!run(&dialog)) {
        return {};
    }
    return core::Utf8FromWide(std::wstring_view(path.c_str()));
}

}  // namespace

std::wstring FilterList(const std::vector<workbench::FileFilter>& filters) {
    std::wstring list;
    for (const workbench::FileFilter& filter : filters) {
        const std::wstring patterns = JoinedPatterns(filter.patterns);
        list += core::WideFromUtf8(filter.description) + L" (" + patterns + L")";
        list += L'\0';
        list += patterns;
        list += L'\0';
    }
    list += L'\0';
    return list;
}

std::string ChooseFileToOpen(HWND owner, const std::vector<workbench::FileFilter>& filters) {
    return RunFileDialog(GetOpenFileNameW, owner, filters, {},
                         OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

std::string ChooseFileToSave(HWND owner, const std::vector<workbench::FileFilter>& filters,
                             std::string_view defaultExtension) {
    return RunFileDialog(GetSaveFileNameW, owner, filters, defaultExtension,
                         OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
}

}  // namespace korvid::win32
