#include "AboutDialogWindow.h"

#include "TextTable.h"
#include "dialog_controls.h"
#include "dialog_object.h"
#include "resource_ids.h"

#include <string>

namespace korvid::win32 {
namespace {

struct AboutTexts {
    std::string version;
    std::string ok;
};

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const AboutTexts* texts = DialogObject<AboutTexts>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            ShowText(dialog, workbench::PlainText::aboutCaption);
            ShowControlText(dialog, IDC_ABOUT_TEXT, texts->version);
            ShowControlText(dialog, IDOK, texts->ok);
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

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner, std::string_view versionText,
                    workbench::Language language) {
    AboutTexts texts{std::string(versionText),
                     workbench::PairText(workbench::TextTable::aboutOk, language)};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProcedure,
                    reinterpret_cast<LPARAM>(&texts));
}

}  // namespace korvid::win32
