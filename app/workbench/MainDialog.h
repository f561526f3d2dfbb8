// MainDialog: the one window of KORVID_Demo. It selects the target part and its
// hardware options, loads code into the hex editor and hands jobs to the library.
#pragma once

#include "FirmwareUpdate.h"
#include "MainDialogControls.h"
#include "ProgrammerOperations.h"
#include "SelectionStore.h"
#include "TextTable.h"
#include "UserPrompts.h"
#include "korvid.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class CHexEditBase;
class QAction;

namespace korvid::core {
struct LoadedProject;
}

namespace korvid::workbench {

class MainDialog : public QDialog {
    Q_OBJECT

public:
    // The commands call the library's exports.
    explicit MainDialog(UserPrompts& prompts, QWidget* parent = nullptr);
    MainDialog(UserPrompts& prompts, ProgrammerOperations& operations, QWidget* parent = nullptr);
    ~MainDialog() override;

    const JobRecord& Job() const { return job_; }
    uint32_t InsertAddress() const { return insertAddress_; }
    const QString& ReloadPath() const { return reloadPath_; }
    const QString& ReloadExtension() const { return reloadExtension_; }
    bool AutoReloadEnabled() const { return autoReload_; }
    uint32_t PartIcpMode() const { return partIcpMode_; }
    uint32_t HwenwOptionIndex() const { return hwenwOptionIndex_; }
    uint32_t ToTarget() const { return toTarget_; }
    uint16_t SharedMaxCount() const { return sharedMaxCount_; }
    const QString& LibraryName() const { return libraryName_; }
    const MainDialogControls& Controls() const { return controls_; }
    CHexEditBase& HexEdit() const { return *controls_.hexEdit; }

public slots:
    // Part panel.
    void FillSeriesList();
    void OnSeriesChanged();
    void OnPartChanged();
    void OnIspMemoryChanged();
    void OnIapMemoryChanged();
    void OnOptionClicked(int k);
    // Code loading.
    void OnLoad();
    void OnActivated();
    // The hex editor's change notification: the status fields follow the edit.
    void OnImageEdited();
    // Programming commands; "Update Target" and "Update Programmer" set toTarget
    // before OnUpdate runs.
    void OnUpdate();
    void OnDump();
    void OnSaveKpj();
    // Re-flashes the programmer behind the progress dialog; UpdateFW's result.
    uint8_t RunFirmwareUpdate();
    // The About item of the context menu and the About button.
    void ShowAbout();
    // The language items of the context menu: shows every text in language at
    // once and remembers the choice.
    void OnLanguageChosen(Language language);
    // "Exit", the close box and Escape: store the selection, end the dialog.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class PartLookup { Selected, SeriesMissing, PartMissing };

    // The display language: the menu's two items, the language of this start
    // (KORVID_LANG, else the remembered one), and showing every text in it.
    void CreateLanguageActions();
    Language StartLanguage() const;
    void ApplyLanguage(Language language);
    void ShowStatusIn(Language previous);
    void ShowOptionTexts();

    void SetUpCatalogue();
    void ConfigureHexEditor();
    void ConnectControls();
    void RestoreSelection();
    PartLookup SelectCatalogueEntry(const PartInfo& part);
    void PushProgrammerRadio();
    void PushAreaRadio();
    void UpdateHwFieldsFromHwenw();
    const PartInfo* CurrentPart() const;
    uint32_t SelectedIspSize() const;
    void SetCodeCommandsEnabled(bool enabled);

    void LoadImageFile(const QString& path, const QString& extension);
    void LoadProjectFile(const QString& path);
    void ApplyProject(const core::LoadedProject& project, const QString& path);
    std::vector<uint8_t> CurrentImage() const;
    std::vector<uint8_t> ConvertedImage(std::vector<uint8_t> fileBytes,
                                        const QString& extension) const;
    void SetImage(const std::vector<uint8_t>& image);
    void ShowImageStatus(const std::vector<uint8_t>& image);
    void ShowError(const QString& text);

    void SetUpdateCommandsEnabled(bool enabled);
    // Takes the controls' values into the job and gives it a copy of the image.
    void FillJob();
    void ReleaseCodeCopy();
    // Runs call; on a firmware mismatch asks, re-flashes and runs it again. nullopt
    // when the user declined the re-flash.
    std::optional<uint8_t> WithFirmwareRetry(const std::function<uint8_t()>& call);
    // A result's text, with the access advice under "Not find device !" when the
    // programmer is there but may not be opened.
    QString ResultText(uint8_t result, const TextPair& text);

    UserPrompts& prompts_;
    ProgrammerOperations& operations_;
    JobRecord job_{};
    PartInfo* ispCatalogue_ = nullptr;
    PartInfo* icpCatalogue_ = nullptr;
    const PartInfo* activeCatalogue_ = nullptr;
    uint32_t activePartCount_ = 0;
    uint32_t activeSeriesMask_ = 0;
    QString reloadPath_;
    QString reloadExtension_;
    bool autoReload_ = false;
    bool reloadAllowed_ = true;
    int32_t programmerRadio_ = 0;
    int32_t areaRadio_ = 0;
    uint32_t ispSeriesMask_ = 0;
    uint32_t icpSeriesMask_ = 0;
    uint32_t ispPartCount_ = 0;
    uint32_t icpPartCount_ = 0;
    uint32_t partIcpMode_ = 0;
    uint32_t toTarget_ = 0;
    uint32_t hwenwOptionIndex_ = 0;
    uint32_t insertAddress_ = 0;
    std::vector<uint8_t> codeCopy_;  // job_.codeBuffer while a command runs
    uint16_t sharedMaxCount_ = 0;
    FirmwareUpdateState firmwareUpdate_;
    QString libraryName_;
    QString captionText_;
    std::unique_ptr<SelectionStore> selectionStore_;
    MainDialogControls controls_;
    QAction* chineseAction_ = nullptr;
    QAction* englishAction_ = nullptr;
};

}  // namespace korvid::workbench
