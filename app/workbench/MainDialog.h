// MainDialog: the one window of KORVID_Demo. It selects the target part and its
// hardware options, loads code into the hex editor and hands jobs to the library.
#pragma once

#include "MainDialogControls.h"
#include "SelectionStore.h"
#include "UserPrompts.h"
#include "korvid.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class CHexEditBase;

namespace korvid::workbench {

struct LoadedProject;

class MainDialog : public QDialog {
    Q_OBJECT

public:
    explicit MainDialog(UserPrompts& prompts, QWidget* parent = nullptr);
    ~MainDialog() override;

    const JobRecord& Job() const { return job_; }
    uint32_t InsertAddress() const { return insertAddress_; }
    const QString& ReloadPath() const { return reloadPath_; }
    const QString& ReloadExtension() const { return reloadExtension_; }
    bool AutoReloadEnabled() const { return autoReload_; }
    uint32_t PartIcpMode() const { return partIcpMode_; }
    uint32_t HwenwOptionIndex() const { return hwenwOptionIndex_; }
    uint32_t ToTarget() const { return toTarget_; }
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
    // The About item of the context menu and the About button.
    void ShowAbout();
    // "Exit", the close box and Escape: store the selection, end the dialog.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class PartLookup { Selected, SeriesMissing, PartMissing };

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
    void ApplyProject(const LoadedProject& project, const QString& path);
    std::vector<uint8_t> CurrentImage() const;
    std::vector<uint8_t> ConvertedImage(std::vector<uint8_t> fileBytes,
                                        const QString& extension) const;
    void SetImage(const std::vector<uint8_t>& image);
    void ShowImageStatus(const std::vector<uint8_t>& image);
    void ShowError(const QString& text);

    UserPrompts& prompts_;
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
    QString libraryName_;
    QString captionText_;
    std::unique_ptr<SelectionStore> selectionStore_;
    MainDialogControls controls_;
};

}  // namespace korvid::workbench
