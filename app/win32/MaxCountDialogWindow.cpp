#include "MaxCountDialogWindow.h"

#include "HexDigitEdit.h"
#include "MessageBoxes.h"
#include "dialog_controls.h"
#include "dialog_object.h"
#include "korvid.h"
#include "resource_ids.h"

namespace korvid::win32 {

bool MaxCountDialogWindow::Run(HINSTANCE instance, HWND owner, workbench::MaxCountDialog& model) {
    MaxCountDialogWindow window(model);
    return RunModalDialog(instance, owner, IDD_MAX_COUNT, window) == IDOK;
}

INT_PTR MaxCountDialogWindow::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(dialog, IDC_SERIAL_TEXT, EM_LIMITTEXT, KORVID_SERIAL_TEXT_SIZE, 0);
            for (const int id : {IDC_SERIAL_NUMBER, IDC_START_ADDRESS}) {
                SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, workbench::MaxCountDialog::kHexDigits,
                                    0);
                AttachHexDigitFilter(GetDlgItem(dialog, id), true);
            }
            Render(dialog);
            return TRUE;
        case WM_COMMAND:
            break;
        default:
            return FALSE;
    }
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == EN_CHANGE) {
        if (rendering_ || !OnFieldEdited(dialog, id)) {
            return FALSE;
        }
    } else if (code != BN_CLICKED) {
        return FALSE;
    } else if (id == IDC_ENABLE_SERIAL) {
        model_.OnEnableSerialClicked(IsChecked(dialog, id));
    } else if (id == IDC_AUTO_INCREMENT) {
        model_.OnAutoIncrementClicked(IsChecked(dialog, id));
    } else if (id == IDOK) {
        OnOk(dialog);
        return TRUE;
    } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    } else {
        return FALSE;
    }
    Render(dialog);
    return TRUE;
}

bool MaxCountDialogWindow::OnFieldEdited(HWND dialog, int id) {
    const std::string text = ControlText(dialog, id);
    switch (id) {
        case IDC_MAX_COUNT:
            model_.OnMaxCountEdited(text);
            return true;
        case IDC_SERIAL_TEXT:
            // Twelve bytes of code page 936 at most: a longer text is refused.
            if (!model_.OnSerialTextEdited(text)) {
                MessageBeep(MB_OK);
            }
            return true;
        case IDC_SERIAL_NUMBER:
            model_.OnSerialNumberEdited(text);
            return true;
        case IDC_START_ADDRESS:
            if (model_.OnStartAddressEdited(text)) {
                MessageBeep(MB_ICONHAND);
            }
            return true;
        default:
            return false;
    }
}

void MaxCountDialogWindow::OnOk(HWND dialog) {
    const workbench::MaxCountDialog::OkOutcome outcome = model_.OnOk();
    if (outcome.message) {
        ShowMessageBox(dialog, *outcome.message);
    }
    if (outcome.accepted) {
        EndDialog(dialog, IDOK);
        return;
    }
    const HWND count = GetDlgItem(dialog, IDC_MAX_COUNT);
    SetFocus(count);
    SendMessageW(count, EM_SETSEL, 0, -1);
}

void MaxCountDialogWindow::Render(HWND dialog) {
    rendering_ = true;
    const workbench::MaxCountDialog::State state = model_.Present();
    const workbench::MaxCountDialog::Texts& t = state.texts;
    ShowText(dialog, t.title);
    ShowControlText(dialog, IDC_MAX_COUNT_LABEL, t.maxCountLabel);
    ShowControlText(dialog, IDC_ENABLE_SERIAL, t.enableSerial);
    ShowControlText(dialog, IDC_SERIAL_TEXT_LABEL, t.serialTextLabel);
    ShowControlText(dialog, IDC_SERIAL_NUMBER_LABEL, t.numberLabel);
    ShowControlText(dialog, IDC_AUTO_INCREMENT, t.autoIncrement);
    ShowControlText(dialog, IDC_START_ADDRESS_LABEL, t.startLabel);
    ShowControlText(dialog, IDC_END_ADDRESS_LABEL, t.endLabel);
    ShowControlText(dialog, IDOK, t.ok);
    ShowControlText(dialog, IDCANCEL, t.exit);

    ShowEditText(dialog, IDC_MAX_COUNT, state.maxCount);
    ShowChecked(dialog, IDC_ENABLE_SERIAL, state.serialEnabled);
    ShowEditText(dialog, IDC_SERIAL_TEXT, state.serialText);
    ShowEditText(dialog, IDC_SERIAL_NUMBER, state.serialNumber);
    ShowChecked(dialog, IDC_AUTO_INCREMENT, state.autoIncrement);
    ShowEditText(dialog, IDC_START_ADDRESS, state.startAddress);
    ShowEditText(dialog, IDC_END_ADDRESS, state.endAddress);
    for (const int id : {IDC_SERIAL_TEXT, IDC_AUTO_INCREMENT, IDC_SERIAL_NUMBER, IDC_START_ADDRESS}) {
        ShowEnabled(dialog, id, state.serialFieldsEnabled);
    }
    rendering_ = false;
}

}  // namespace korvid::win32
