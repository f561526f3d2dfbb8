#include "AboutDialogWindow.h"

#include "TextTable.h"
#include "dialog_controls.h"
#include "dialog_object.h"
#include "resource_ids.h"

#include <string>

namespace korvid::win32 {
namespace {

struct AboutBox {
    std::string version;
    std::string ok;

    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam) const {
        switch (message) {
            case WM_INITDIALOG:
                ShowText(dialog, workbench::PlainText::aboutCaption);
                ShowControlText(dialog, IDC_ABOUT_TEXT, version);
                ShowControlText(dialog, IDOK, ok);
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                    EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
                }
                return FALSE;
            default:
                return FALSE;
        }
    }
};

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner, std::string_view versionText,
                    workbench::Language language) {
    AboutBox box{std::string(versionText),
                 workbench::PairText(workbench::TextTable::aboutOk, language)};
    RunModalDialog(instance, owner, IDD_ABOUT, box);
}

}  // namespace korvid::win32
