#include "AreaDialogWindow.h"

#include "HexDigitEdit.h"
#include "dialog_controls.h"
#include "dialog_object.h"
#include "resource_ids.h"

namespace korvid::win32 {

bool AreaDialogWindow::Run(HINSTANCE instance, HWND owner, workbench::AreaDialog& model) {
    AreaDialogWindow window(model);
    return RunModalDialog(instance, owner, IDD_AREA, window) == IDOK;
}

INT_PTR AreaDialogWindow::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            AttachHexDigitFilter(GetDlgItem(dialog, IDC_ADDRESS), false);
            Render(dialog);
            return TRUE;
        case WM_COMMAND:
            break;
        default:
            return FALSE;
    }
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_CODE_AREA && code == BN_CLICKED) {
        model_.OnCodeAreaClicked();
    } else if (id == IDC_DATA_AREA && code == BN_CLICKED) {
        model_.OnDataAreaClicked();
    } else if (id == IDC_ADDRESS && code == EN_CHANGE && !rendering_) {
        model_.OnAddressEdited(ControlText(dialog, IDC_ADDRESS));
    } else if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
        EndDialog(dialog, id);
        return TRUE;
    } else {
        return FALSE;
    }
    Render(dialog);
    return TRUE;
}

void AreaDialogWindow::Render(HWND dialog) {
    rendering_ = true;
    const workbench::AreaDialog::State state = model_.Present();
    ShowText(dialog, state.caption);
    ShowControlText(dialog, IDC_CODE_AREA, state.codeArea);
    ShowControlText(dialog, IDC_DATA_AREA, state.dataArea);
    ShowControlText(dialog, IDC_ADDRESS_LABEL, state.addressLabel);
    ShowChecked(dialog, IDC_CODE_AREA, !state.dataAreaChosen);
    ShowChecked(dialog, IDC_DATA_AREA, state.dataAreaChosen);
    ShowEditText(dialog, IDC_ADDRESS, state.address);
    ShowEnabled(dialog, IDC_ADDRESS, state.addressEnabled);
    rendering_ = false;
}

}  // namespace korvid::win32
