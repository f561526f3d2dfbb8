// The Qt view of the main dialog (template 102): creates the controls, renders the
// workbench model's state into them, and forwards the user's events to the
// model's operations. Message boxes, file dialogs and the smaller dialogs run
// through UserPrompts, so that tests can answer them.
#pragma once

#include "MainDialog.h"
#include "MainDialogControls.h"
#include "MainDialogView.h"
#include "QtHexEdit.h"
#include "UserPrompts.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string_view>

class QAction;
class QTranslator;

namespace korvid::qt {

class MainDialogWindow : public QDialog, public workbench::MainDialogView {
    Q_OBJECT

public:
    // environmentLanguage is KORVID_LANG's value, if set.
    MainDialogWindow(UserPrompts& prompts, workbench::ProgrammerOperations& operations,
                     workbench::SettingsStore& settings, workbench::Catalogue catalogue,
                     std::optional<std::string_view> environmentLanguage,
                     QWidget* parent = nullptr);
    ~MainDialogWindow() override;

    workbench::MainDialog& Model() { return model_; }
    const MainDialogControls& Controls() const { return controls_; }
    CHexEditBase& HexEdit() const { return *controls_.hexEdit; }

    // MainDialogView.
    void Render(const workbench::MainDialogState& state) override;
    workbench::MessageAnswer ShowMessage(const workbench::Message& message) override;
    std::string ChooseFileToOpen(const std::vector<workbench::FileFilter>& filters) override;
    std::string ChooseFileToSave(const std::vector<workbench::FileFilter>& filters,
                                 std::string_view defaultExtension) override;
    bool RunAreaDialog(workbench::AreaDialog& dialog) override;
    bool RunMaxCountDialog(workbench::MaxCountDialog& dialog) override;
    void RunAboutDialog(std::string_view versionText) override;
    void RunProgressDialog(workbench::ReflashProgress& progress) override;

    // "Exit", the close box and Escape: the model stores the selection, then the
    // dialog ends.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ConnectControls();
    // Qt's own texts (the message boxes' buttons) in the display language.
    void ShowQtTextsIn(workbench::Language language);

    UserPrompts& prompts_;
    MainDialogControls controls_;
    QtHexEdit hexEdit_;
    workbench::MainDialog model_;
    QAction* chineseAction_ = nullptr;
    QAction* englishAction_ = nullptr;
    std::unique_ptr<QTranslator> qtTexts_;
    std::optional<workbench::Language> shownLanguage_;
};

}  // namespace korvid::qt
