// MainWindow: the dialog's life, its messages and what the model asks of the view.
#include "MainWindow.h"

#include "AboutDialogWindow.h"
#include "AreaDialogWindow.h"
#include "CHexEditBase.h"
#include "FileDialogs.h"
#include "MaxCountDialogWindow.h"
#include "MessageBoxes.h"
#include "ProgressDialogWindow.h"
#include "TextTable.h"
#include "dialog_controls.h"
#include "narrow_paths.h"
#include "resource_ids.h"
#include "wide_text.h"

#include <windowsx.h>

#include <utility>

namespace korvid::win32 {
namespace {

using workbench::Language;

HICON LoadApplicationIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                         IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), 0));
}

// The About item at the end of the system menu, after a separator.
void AddAboutItem(HWND dialog, HINSTANCE instance) {
    wchar_t text[64] = {};
    if (LoadStringW(instance, IDS_ABOUT_ITEM, text, static_cast<int>(std::size(text))) <= 0) {
        return;
    }
    const HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu != nullptr) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUT, text);
    }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, workbench::ProgrammerOperations& operations,
                       workbench::SettingsStore& settings, workbench::Catalogue catalogue,
                       std::optional<std::string> environmentLanguage)
    : instance_(instance),
      operations_(operations),
      settings_(settings),
      catalogue_(std::move(catalogue)),
      environmentLanguage_(std::move(environmentLanguage)) {}

MainWindow::~MainWindow() {
    if (dialog_ != nullptr) {
        DestroyWindow(dialog_);
    }
    for (const HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HWND MainWindow::Create() {
    if (!CHexEditBase::Register(instance_)) {
        return nullptr;
    }
    const HWND dialog = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                           Procedure, reinterpret_cast<LPARAM>(this));
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

void MainWindow::Run() {
    MSG message;
    while (dialog_ != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
        tips_->Relay(message);
        if (!IsDialogMessageW(dialog_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

INT_PTR CALLBACK MainWindow::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<MainWindow*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        window->dialog_ = dialog;
    }
    auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return window != nullptr ? window->Handle(message, wParam, lParam) : FALSE;
}

void MainWindow::OnInitDialog() {
    bigIcon_ = LoadApplicationIcon(instance_, SM_CXICON, SM_CYICON);
    smallIcon_ = LoadApplicationIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    AddAboutItem(dialog_, instance_);
    tips_ = std::make_unique<DialogTooltips>(dialog_);

    CHexEditBase* hexEdit = CHexEditBase::FromWindow(GetDlgItem(dialog_, IDC_HEX_EDIT));
    model_ = std::make_unique<workbench::MainDialog>(*this, *hexEdit, operations_, settings_,
                                                     std::move(catalogue_));
    model_->OnInitDialog(environmentLanguage_ ? std::optional<std::string_view>(
                                                    *environmentLanguage_)
                                              : std::nullopt);
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT) {
                model_->OnAbout();
                return TRUE;
            }
            return FALSE;
        case WM_CONTEXTMENU:
            ShowContextMenu(lParam);
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && model_ != nullptr) {
                model_->OnActivated();
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(bigIcon_));
            return TRUE;
        case WM_NCDESTROY:
            dialog_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

bool MainWindow::OnCommand(int id, int code) {
    if (model_ == nullptr || rendering_) {
        return false;
    }
    switch (code) {
        case BN_CLICKED:
            return OnButtonClicked(id);
        case CBN_SELCHANGE: {
            const int item = SelectedItem(dialog_, id);
            switch (id) {
                case IDC_SERIES:
                    model_->OnSeriesChanged(item);
                    return true;
                case IDC_PART:
                    model_->OnPartChanged(item);
                    return true;
                case IDC_ISP_MEMORY:
                    model_->OnIspMemoryChanged(item);
                    return true;
                case IDC_IAP_MEMORY:
                    model_->OnIapMemoryChanged(item);
                    return true;
                default:
                    return false;
            }
        }
        case EN_CHANGE:
            switch (id) {
                case IDC_HWWIDL:
                    model_->OnHwwidlEdited(ControlText(dialog_, id));
                    return true;
                case IDC_HWPS:
                    model_->OnHwpsEdited(ControlText(dialog_, id));
                    return true;
                case IDC_HEX_EDIT:
                    model_->OnImageEdited();
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

bool MainWindow::OnButtonClicked(int id) {
    if (id >= IDC_OPTION_FIRST && id <= IDC_OPTION_LAST) {
        model_->OnOptionClicked(id - IDC_OPTION_FIRST, IsChecked(dialog_, id));
        return true;
    }
    if (id >= IDC_AREA_FIRST && id <= IDC_AREA_LAST) {
        model_->OnAreaClicked(id - IDC_AREA_FIRST);
        return true;
    }
    switch (id) {
        case IDC_ISP:
            model_->OnProgrammerTypeClicked(0);
            return true;
        case IDC_ICP:
            model_->OnProgrammerTypeClicked(1);
            return true;
        case IDC_LOAD:
            model_->OnLoad();
            return true;
        case IDC_SAVE_KPJ:
            model_->OnSaveKpj();
            return true;
        case IDC_UPDATE_TARGET:
            model_->OnUpdateTarget();
            return true;
        case IDC_UPDATE_PROGRAMMER:
            model_->OnUpdateProgrammer();
            return true;
        case IDC_DUMP:
            model_->OnDump();
            return true;
        case IDC_WRITE_PROTECT:
            model_->OnWriteProtectClicked(IsChecked(dialog_, id));
            return true;
        case IDC_AUTO_RELOAD:
            model_->OnAutoReloadClicked(IsChecked(dialog_, id));
            return true;
        case IDCANCEL:  // "Exit", Escape and the close box
            model_->OnExit();
            DestroyWindow(dialog_);
            return true;
        case IDOK:  // Enter: the dialog has no default command
            return true;
        default:
            return false;
    }
}

void MainWindow::ShowContextMenu(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the window's top left
        RECT window;
        GetWindowRect(dialog_, &window);
        at = {window.left, window.top};
    }
    const HMENU menu = CreatePopupMenu();
    const auto item = [&](UINT id, const char* text) {
        AppendMenuW(menu, MF_STRING, id, core::WideFromUtf8(text).c_str());
    };
    item(IDM_ABOUT, workbench::PlainText::aboutItem);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    item(IDM_LANGUAGE_CHINESE, workbench::PlainText::chineseLanguage);
    item(IDM_LANGUAGE_ENGLISH, workbench::PlainText::englishLanguage);
    CheckMenuRadioItem(menu, IDM_LANGUAGE_CHINESE, IDM_LANGUAGE_ENGLISH,
                       model_->DisplayLanguage() == Language::English ? IDM_LANGUAGE_ENGLISH
                                                           : IDM_LANGUAGE_CHINESE,
                       MF_BYCOMMAND);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog_, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case IDM_ABOUT:
            model_->OnAbout();
            break;
        case IDM_LANGUAGE_CHINESE:
            model_->OnLanguageChosen(Language::Chinese);
            break;
        case IDM_LANGUAGE_ENGLISH:
            model_->OnLanguageChosen(Language::English);
            break;
        default:
            break;
    }
}

workbench::MessageAnswer MainWindow::ShowMessage(const workbench::Message& message) {
    return ShowMessageBox(dialog_, message);
}

std::string MainWindow::ChooseFileToOpen(const std::vector<workbench::FileFilter>& filters) {
    return TakenPath(win32::ChooseFileToOpen(dialog_, filters));
}

std::string MainWindow::ChooseFileToSave(const std::vector<workbench::FileFilter>& filters,
                                         std::string_view defaultExtension) {
    return TakenPath(win32::ChooseFileToSave(dialog_, filters, defaultExtension));
}

std::string MainWindow::TakenPath(std::string path) {
    if (NarrowCallsTakePath(path, GetACP())) {
        return path;
    }
    ShowMessageBox(dialog_, {workbench::MessageIcon::Error, model_->LibraryName(),
                             PathRefusedText(path, model_->DisplayLanguage()),
                             workbench::MessageButtons::Ok,
                             workbench::MessageAnswer::Ok});
    return {};  // as if the dialog was cancelled
}

bool MainWindow::RunAreaDialog(workbench::AreaDialog& dialog) {
    return AreaDialogWindow::Run(instance_, dialog_, dialog);
}

bool MainWindow::RunMaxCountDialog(workbench::MaxCountDialog& dialog) {
    return MaxCountDialogWindow::Run(instance_, dialog_, dialog);
}

void MainWindow::RunAboutDialog(std::string_view versionText) {
    win32::RunAboutDialog(instance_, dialog_, versionText, model_->DisplayLanguage());
}

void MainWindow::RunProgressDialog(workbench::ReflashProgress& progress) {
    ProgressDialogWindow::Run(instance_, dialog_, progress);
}

}  // namespace korvid::win32
