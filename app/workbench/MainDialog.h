// MainDialog: the one window of KORVID_Demo, without the window. It selects the
// target part and its hardware options, loads code into the hex editor and hands
// jobs to the library; every rule of the dialog lives here. A front end forwards
// the user's events to the On... operations and renders State(); the model speaks
// back through MainDialogView, keeps its code image in the hex editor control and
// remembers the selection in a SettingsStore.
#pragma once

#include "Catalogue.h"
#include "MainDialogState.h"
#include "MainDialogView.h"
#include "ProgrammerOperations.h"
#include "SettingsStore.h"
#include "code_file.h"
#include "code_format.h"
#include "display_language.h"
#include "hex_edit_control.h"
#include "korvid.h"
#include "text_pair.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::core {
struct LoadedProject;
}

namespace korvid::workbench {

class MainDialog {
public:
    MainDialog(MainDialogView& view, hexedit::HexEditControl& hexEdit,
               ProgrammerOperations& operations, SettingsStore& settings, Catalogue catalogue);

    // Initialisation: caption, language (the environment's KORVID_LANG given here,
    // else the remembered one), catalogues, hex editor set-up, the remembered part.
    void OnInitDialog(std::optional<std::string_view> environmentLanguage = std::nullopt);

    // Part panel. List events carry the selected item's position.
    void OnProgrammerTypeClicked(int type);  // 0 ISP, 1 ICP
    void OnSeriesChanged(int item);
    void OnPartChanged(int item);
    void OnIspMemoryChanged(int item);
    void OnIapMemoryChanged(int item);
    void OnOptionClicked(int k, bool checked);
    void OnAreaClicked(int area);
    void OnHwwidlEdited(std::string text);
    void OnHwpsEdited(std::string text);

    // Code loading: "Load", the window's activation (Auto Reload) and the hex
    // editor's change notification.
    void OnLoad();
    void OnActivated();
    void OnImageEdited();

    // Commands.
    void OnUpdateTarget();
    void OnUpdateProgrammer();
    void OnDump();
    void OnSaveKpj();
    void OnWriteProtectClicked(bool checked);
    void OnAutoReloadClicked(bool checked);
    void OnAbout();
    // The language items of the window's menu: every text at once, remembered.
    void OnLanguageChosen(Language language);
    // "Exit", the close box and Escape: stores the selection; the view then ends.
    void OnExit();

    MainDialogState State() const;
    Language DisplayLanguage() const { return language_; }
    // The text of pair in the display language.
    const char* Shown(const core::TextPair& pair) const { return PairText(pair, language_); }
    const std::string& LibraryName() const { return catalogue_.libraryName; }
    std::string VersionCaption() const;

    // What the commands hand to the library, for tests.
    const JobRecord& Job() const { return job_; }
    uint32_t InsertAddress() const { return insertAddress_; }
    const std::string& ReloadPath() const { return reloadPath_; }
    uint32_t PartIcpMode() const { return partIcpMode_; }
    uint16_t SharedMaxCount() const { return sharedMaxCount_; }

private:
    // The source field: what the image came from.
    enum class SourceKind { None, File, Project, Dump };

    std::span<const PartInfo> ActiveCatalogue() const;
    const PartInfo* CurrentPart() const;
    std::vector<int> SeriesBits() const;   // the series list: bit numbers
    std::vector<int> PartEntries() const;  // the part list: catalogue positions
    std::vector<uint32_t> IspSizes() const;
    uint32_t SelectedIspSize() const;
    uint32_t IapItemCount() const;
    bool HwFieldsEnabled() const;

    void FillSeriesList();
    void SelectSeries(int item);
    void SelectPart(int item);
    void TakePart(int32_t index);
    void SelectIspMemory(int item);
    // Selects the series and then the part of catalogue entry index in the active
    // catalogue, as the user would.
    enum class EntrySelection { Selected, SeriesMissing, PartMissing };
    EntrySelection SelectCatalogueEntry(int32_t index);
    void RestoreSelection();

    // Loading.
    void LoadFromChosenFile();
    void LoadImageFile(const std::string& path);
    void LoadProjectFile(const std::string& path);
    void ApplyProject(const core::LoadedProject& project, const std::string& path);
    void ReloadImage(const PartInfo& part);
    std::string OpenFailureText(const std::string& path, core::FileFailure failure) const;
    // A file's image (Intel HEX converted), or none after the message for a
    // damaged file.
    std::optional<std::vector<uint8_t>> ImageOf(std::vector<uint8_t> fileBytes,
                                                const std::string& path, core::CodeFormat format);
    std::vector<uint8_t> CurrentImage() const;
    void SetImage(const std::vector<uint8_t>& image);
    void ClearImage();
    // Asks "File size is too large..."; true for OK.
    bool ConfirmTruncation();

    // Commands.
    void OnUpdate();
    // The count and serial fields for toTarget_, then UpdateMCU; none when the
    // Max Count dialog or the re-flash question was declined.
    std::optional<uint8_t> RunUpdate(const PartInfo& part);
    void FillJob(std::vector<uint8_t>& codeCopy);
    std::optional<uint8_t> WithFirmwareRetry(const std::function<uint8_t()>& call);
    uint8_t RunFirmwareUpdate();
    std::string ResultText(uint8_t result, const core::TextPair& text);

    void ShowError(std::string text);
    MessageAnswer Ask(MessageIcon icon, std::string text, MessageButtons buttons,
                      MessageAnswer defaultAnswer);
    void Render() const;

    MainDialogView& view_;
    hexedit::HexEditControl& hexEdit_;
    ProgrammerOperations& operations_;
    SettingsStore& settings_;
    const Catalogue catalogue_;
    Language language_ = Language::Chinese;

    JobRecord job_{};
    int32_t programmerRadio_ = 0;
    int32_t areaRadio_ = 0;
    int seriesItem_ = -1;
    int partItem_ = -1;
    uint32_t partIcpMode_ = 0;
    std::optional<uint32_t> hwenwOptionIndex_;
    int ispMemoryItem_ = -1;
    int iapMemoryItem_ = -1;
    std::string hwwidlText_;
    std::string hwpsText_;

    SourceKind sourceKind_ = SourceKind::None;
    std::string sourcePath_;
    std::string sourceCodeName_;  // a project's code name, UTF-8
    // The image as its last load, reload or dump left it: the image differs from
    // it exactly when the user's edits are still in it.
    std::vector<uint8_t> loadedImage_;
    bool imageStatusShown_ = false;
    bool codeLoaded_ = false;      // "Save *.KPJ"
    bool codeIsProgram_ = false;   // the update commands: code loaded, no dump since
    bool updateRunning_ = false;
    bool dumpRunning_ = false;

    std::string reloadPath_;
    core::CodeFormat reloadFormat_ = core::CodeFormat::Binary;
    bool autoReload_ = false;
    bool reloadAllowed_ = true;
    bool writeProtect_ = false;
    uint32_t insertAddress_ = 0;
    uint32_t toTarget_ = 0;
    uint16_t sharedMaxCount_ = 0;
};

}  // namespace korvid::workbench
