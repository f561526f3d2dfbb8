// The main dialog of KORVID_Demo (template 102) as a view of the workbench model:
// it renders MainDialogState into the template's controls, forwards every click,
// list selection, edit and the window's activation to the model's On... calls,
// and runs the smaller dialogs, message boxes and file dialogs the model asks for.
// The hex editor 1037 is a CHexEditBase window, the model's code image.
#pragma once

#include "Catalogue.h"
#include "DialogTooltips.h"
#include "MainDialog.h"
#include "MainDialogView.h"
#include "ProgrammerOperations.h"
#include "SettingsStore.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace korvid::win32 {

class MainWindow final : public workbench::MainDialogView {
public:
    // environmentLanguage is KORVID_LANG's value, if set.
    MainWindow(HINSTANCE instance, workbench::ProgrammerOperations& operations,
               workbench::SettingsStore& settings, workbench::Catalogue catalogue,
               std::optional<std::string> environmentLanguage);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the dialog, initialised and shown; null when it cannot be created.
    HWND Create();
    // Runs the messages of the thread until the dialog has ended.
    void Run();
    bool Ended() const { return dialog_ == nullptr; }
    workbench::MainDialog& Model() { return *model_; }

    // MainDialogView
    void Render(const workbench::MainDialogState& state) override;
    workbench::MessageAnswer ShowMessage(const workbench::Message& message) override;
    std::string ChooseFileToOpen(const std::vector<workbench::FileFilter>& filters) override;
    std::string ChooseFileToSave(const std::vector<workbench::FileFilter>& filters,
                                 std::string_view defaultExtension) override;
    bool RunAreaDialog(workbench::AreaDialog& dialog) override;
    bool RunMaxCountDialog(workbench::MaxCountDialog& dialog) override;
    void RunAboutDialog(std::string_view versionText) override;
    void RunProgressDialog(workbench::ReflashProgress& progress) override;

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    // A control's notification; false when it is none the model takes.
    bool OnCommand(int id, int code);
    bool OnButtonClicked(int id);
    void ShowContextMenu(LPARAM screenPoint);
    // A chosen path as the model takes it; empty, after saying why, when the
    // narrow file calls would alter it.
    std::string TakenPath(std::string path);
    void RenderTexts(const workbench::MainDialogTexts& texts);
    void RenderPartPanel(const workbench::MainDialogState& state);

    HINSTANCE instance_;
    workbench::ProgrammerOperations& operations_;
    workbench::SettingsStore& settings_;
    workbench::Catalogue catalogue_;  // the model's, once the dialog exists
    std::optional<std::string> environmentLanguage_;

    HWND dialog_ = nullptr;
    std::unique_ptr<workbench::MainDialog> model_;
    std::unique_ptr<DialogTooltips> tips_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    // Set while Render changes controls, whose notifications are then the view's own.
    bool rendering_ = false;
};

}  // namespace korvid::win32
