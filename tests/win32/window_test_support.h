// What the dialog tests share: whether this process can make windows at all (the
// suite runs wine on a virtual screen), the common controls, scratch files, and
// the steps a user takes in the system's own dialogs.
#pragma once

#include "modal_script.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::win32::ui_test {

// Registers the common controls once; false when no window can be made (wine
// without a display).
bool PrepareWindows();

// A folder of its own under the temporary folder, removed with its files.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Writes a file of bytes into the folder; its full path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring path_;
};

// Types path into a file-open or file-save dialog and presses its OK button.
ModalScript::Action ChooseFile(const std::wstring& path);
// Presses a button of a dialog or message box.
ModalScript::Action Press(int id);

// Selects item of the drop-down list id as a user does: the selection, then the
// change notification to the dialog.
void SelectListItem(HWND dialog, int id, int item);
// Clicks a button, check box or radio button and waits for its handler.
void ClickNow(HWND dialog, int id);
// Sets an edit field's text; the field tells its dialog as after typing.
void TypeText(HWND dialog, int id, const std::wstring& text);
// Sends typed characters to a control one by one.
void TypeCharacters(HWND control, const std::wstring& characters);

std::string WindowClass(HWND window);

// A 32-bit value of a registry key below HKEY_CURRENT_USER, or -1 when missing.
int64_t RegistryNumber(const std::wstring& key, const wchar_t* name);
void DeleteRegistryKey(const std::wstring& key);

}  // namespace korvid::win32::ui_test
