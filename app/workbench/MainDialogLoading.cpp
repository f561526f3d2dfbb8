// MainDialog: the Load command (Intel HEX, binary and project files), Auto Reload
// and the code image the hex editor holds.
#include "AreaDialog.h"
#include "MainDialog.h"
#include "TextTable.h"
#include "code_file.h"
#include "code_image.h"
#include "code_name.h"
#include "intel_hex.h"
#include "intel_hex_message.h"
#include "project_load.h"

#include <algorithm>
#include <string>
#include <utility>

namespace korvid::workbench {
namespace {

const std::vector<FileFilter>& OpenFilters() {
    static const std::vector<FileFilter> filters{
        {"Intel Hex/Binary", {"*.hex", "*.ihx", "*.bin"}},
        {"Vostrel project file", {"*.kpj"}},
        {"All files", {"*"}},
    };
    return filters;
}

}  // namespace

std::vector<uint8_t> MainDialog::CurrentImage() const {
    std::vector<uint8_t> image(hexEdit_.GetDataSize());
    hexEdit_.GetData(image.data(), static_cast<uint32_t>(image.size()));
    return image;
}

void MainDialog::SetImage(const std::vector<uint8_t>& image) {
    hexEdit_.SetData(image.data(), static_cast<uint32_t>(image.size()), true);
    loadedImage_ = image;
}

void MainDialog::ClearImage() {
    hexEdit_.SetData(nullptr, 0, true);
    loadedImage_.clear();
    reloadPath_.clear();
    sourceKind_ = SourceKind::None;
    imageStatusShown_ = false;
    codeLoaded_ = false;
    codeIsProgram_ = false;
}

void MainDialog::OnImageEdited() {
    imageStatusShown_ = true;
    Render();
}

bool MainDialog::ConfirmTruncation() {
    return Ask(MessageIcon::Warning, Shown(TextTable::fileTooLarge), MessageButtons::OkCancel,
               MessageAnswer::Cancel) == MessageAnswer::Ok;
}

void MainDialog::OnLoad() {
    reloadAllowed_ = false;
    LoadFromChosenFile();
    reloadAllowed_ = true;
    Render();
}

void MainDialog::LoadFromChosenFile() {
    const PartInfo* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    // Cancelling the area dialog leaves the part's data address for Auto Reload.
    insertAddress_ = part->iapStart;
    AreaDialog area(insertAddress_, language_);
    if (!view_.RunAreaDialog(area)) {
        return;
    }
    insertAddress_ = area.OnOk();
    if (insertAddress_ >= part->flashSize) {
        ShowError(Shown(TextTable::insertAddressOverChipSize));
        return;
    }
    const std::string path = view_.ChooseFileToOpen(OpenFilters());
    if (path.empty()) {
        return;
    }
    if (core::FormatOfPath(path) == core::CodeFormat::Project) {
        LoadProjectFile(path);
    } else {
        LoadImageFile(path);
    }
}

std::string MainDialog::OpenFailureText(const std::string& path, core::FileFailure failure) const {
    return Shown(TextTable::cantOpen) + path + "\",\nError code = " +
           std::to_string(static_cast<unsigned>(failure));
}

std::optional<std::vector<uint8_t>> MainDialog::ImageOf(std::vector<uint8_t> fileBytes,
                                                        const std::string& path,
                                                        core::CodeFormat format) {
    if (format != core::CodeFormat::IntelHex) {
        return fileBytes;
    }
    core::IntelHexImage hex = core::ParseIntelHex(std::string_view(
        reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size()));
    if (hex.error) {
        // A damaged file is refused whole: nothing of it is loaded.
        const core::OwnedTextPair message = core::IntelHexErrorMessage(*hex.error, path);
        ShowError(language_ == Language::English ? message.english : message.chinese);
        return std::nullopt;
    }
    return std::move(hex.bytes);
}

void MainDialog::LoadImageFile(const std::string& path) {
    const PartInfo& part = *CurrentPart();
    const core::CodeFormat format = core::FormatOfPath(path);
    core::CodeFile file = core::ReadCodeFile(path);
    if (file.failure != core::FileFailure::None) {
        ShowError(OpenFailureText(path, file.failure));
        return;
    }
    std::optional<std::vector<uint8_t>> bytes = ImageOf(std::move(file.bytes), path, format);
    if (!bytes) {
        return;
    }
    const std::size_t room = part.flashSize - insertAddress_;  // the address was checked
    if (bytes->size() > room) {
        if (!ConfirmTruncation()) {
            return;  // a refused file does not become the Auto Reload file
        }
        bytes->resize(room);
    }
    SetImage(core::OverlayImage(CurrentImage(), *bytes, insertAddress_));
    reloadPath_ = path;
    reloadFormat_ = format;
    sourceKind_ = SourceKind::File;
    sourcePath_ = path;
    imageStatusShown_ = true;
    codeLoaded_ = true;
    codeIsProgram_ = true;
    core::StoreCodeName(job_, path);
}

void MainDialog::LoadProjectFile(const std::string& path) {
    const core::LoadedProject project = core::LoadProject(path);
    if (project.result == RC_OK) {
        ApplyProject(project, path);
        return;
    }
    if (project.codeReadFailed) {
        ShowError(Shown(TextTable::cantOpen) + path + "\" !");
        return;
    }
    switch (project.result) {
        case RC_KPJ_FOOTER_SUM:
            ShowError(Shown(TextTable::footerCheckError));
            break;
        case RC_KPJ_TOOL:
            ShowError(Shown(TextTable::unmatchedTool));
            break;
        case RC_KPJ_VERSION:
            ShowError(Shown(TextTable::unmatchedApVersion));
            break;
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
            ShowError(Shown(TextTable::wrongCodeSizes));
            break;
        case RC_KPJ_MAGIC:
            ShowError(Shown(TextTable::notKpjFile));
            break;
        default:  // RC_FILE_OPEN and anything the reader may add later
            ShowError(Shown(TextTable::cantOpen) + path + "\" !");
            break;
    }
}

void MainDialog::ApplyProject(const core::LoadedProject& project, const std::string& path) {
    const JobRecord& record = project.record;
    const bool icp = project.icpFlag != 0;
    // A part that the named catalogue does not hold is refused before the
    // selection is touched (the ICP catalogue is empty).
    const std::span<const PartInfo> catalogue = catalogue_.Of(icp);
    if (record.partIndex < 0 || static_cast<std::size_t>(record.partIndex) >= catalogue.size()) {
        ShowError(Shown(TextTable::mcuTypeError));
        return;
    }
    // Code longer than the part's flash is never handed on whole: asked as a
    // file that is too large, before anything changes.
    std::vector<uint8_t> code = project.code;
    const PartInfo& part = catalogue[record.partIndex];
    if (code.size() > part.flashSize) {
        if (!ConfirmTruncation()) {
            return;
        }
        code.resize(part.flashSize);
    }

    programmerRadio_ = icp ? 1 : 0;
    areaRadio_ = static_cast<int32_t>(std::min<uint32_t>(record.programArea, AREA_WHOLE_CHIP));
    FillSeriesList();
    switch (SelectCatalogueEntry(record.partIndex)) {
        case EntrySelection::SeriesMissing:
            ShowError(Shown(TextTable::mcuTypeError));
            return;
        case EntrySelection::PartMissing:
            ShowError(Shown(TextTable::bodyError));
            return;
        case EntrySelection::Selected:
            break;
    }

    // The options become exactly the project's, also when the part was already
    // selected and kept its boxes.
    const uint64_t states = uint64_t{record.optionStates[1]} << 32 | record.optionStates[0];
    const uint32_t known = std::min<uint32_t>(part.optionCount, KORVID_MAX_OPTIONS);
    const uint64_t mask = known >= 64 ? ~uint64_t{0} : (uint64_t{1} << known) - 1;
    job_.optionStates[0] = static_cast<uint32_t>(states & mask);
    job_.optionStates[1] = static_cast<uint32_t>((states & mask) >> 32);

    if (icp) {
        if (record.ispMemoryIndex < IspSizes().size()) {
            SelectIspMemory(static_cast<int>(record.ispMemoryIndex));
        }
        if (record.iapMemoryIndex < IapItemCount()) {
            iapMemoryItem_ = static_cast<int>(record.iapMemoryIndex);
        }
        hwwidlText_ = std::to_string(record.hwOptions & 1);
        hwpsText_ = std::to_string((record.hwOptions >> 1) & 7);
    }

    SetImage(code);
    sourceKind_ = SourceKind::Project;
    sourcePath_ = path;
    sourceCodeName_ = core::ShownCodeName(record);
    imageStatusShown_ = true;
    codeLoaded_ = true;
    codeIsProgram_ = true;
}

void MainDialog::OnActivated() {
    if (!reloadAllowed_ || !autoReload_ || reloadPath_.empty()) {
        return;
    }
    const PartInfo* part = CurrentPart();
    // An address left over from a refused load lies outside the part: nothing to place.
    if (part == nullptr || insertAddress_ >= part->flashSize) {
        return;
    }
    // Our own message box re-activates the window when it closes: no reload meanwhile.
    reloadAllowed_ = false;
    ReloadImage(*part);
    reloadAllowed_ = true;
    Render();
}

void MainDialog::ReloadImage(const PartInfo& part) {
    core::CodeFile file = core::ReadCodeFile(reloadPath_);
    if (file.failure != core::FileFailure::None) {
        // No further attempts, and the source no longer names the file.
        const std::string path = std::exchange(reloadPath_, std::string());
        sourceKind_ = SourceKind::None;
        ShowError(OpenFailureText(path, file.failure));
        return;
    }
    std::optional<std::vector<uint8_t>> bytes =
        ImageOf(std::move(file.bytes), reloadPath_, reloadFormat_);
    if (!bytes) {
        return;  // a damaged file is reported and changes nothing
    }
    bytes->resize(std::min<std::size_t>(bytes->size(), part.flashSize - insertAddress_));
    // Edits outside the file's bytes survive the reload; those inside are replaced.
    const std::vector<uint8_t> loaded = core::OverlayImage(loadedImage_, *bytes, insertAddress_);
    SetImage(core::OverlayImage(CurrentImage(), *bytes, insertAddress_));
    loadedImage_ = loaded;
    imageStatusShown_ = true;
}

}  // namespace korvid::workbench
