// MainDialog: the Load command (Intel HEX, binary and project files), Auto Reload
// and the status fields that describe the image, also after it is edited.
#include "AreaDialog.h"
#include "CHexEditBase.h"
#include "DisplayText.h"
#include "MainDialog.h"
#include "code_file.h"
#include "code_format.h"
#include "code_image.h"
#include "intel_hex.h"
#include "project_load.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace korvid::workbench {
namespace {

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString OpenFailureText(const QString& path, core::FileFailure failure) {
    return Shown(TextTable::cantOpen) + path +
           QStringLiteral("\",\nError code = %1").arg(static_cast<unsigned>(failure));
}

QString CantOpenProjectText(const QString& path) {
    return Shown(TextTable::cantOpen) + path + "\" !";
}

QString ProjectFailureText(uint8_t result, const QString& path) {
    switch (result) {
        case RC_KPJ_FOOTER_SUM:
            return Shown(TextTable::footerCheckError);
        case RC_KPJ_TOOL:
            return Shown(TextTable::unmatchedTool);
        case RC_KPJ_VERSION:
            return Shown(TextTable::unmatchedApVersion);
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
            return Shown(TextTable::wrongCodeSizes);
        case RC_KPJ_MAGIC:
            return Shown(TextTable::notKpjFile);
        default:  // RC_FILE_OPEN and anything the reader may add later
            return CantOpenProjectText(path);
    }
}

// A code name is the native (UTF-8) file name of this program, or the cp936 name
// written by an older one.
QString DecodeCodeName(const char* name) {
    const QByteArrayView bytes(name, static_cast<qsizetype>(strnlen(name, KORVID_CODE_NAME_SIZE)));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? DecodeCp936(name, KORVID_CODE_NAME_SIZE) : text;
}

}  // namespace

std::vector<uint8_t> MainDialog::CurrentImage() const {
    std::vector<uint8_t> image(controls_.hexEdit->GetDataSize());
    controls_.hexEdit->GetData(image.data(), static_cast<uint32_t>(image.size()));
    return image;
}

std::vector<uint8_t> MainDialog::ConvertedImage(std::vector<uint8_t> fileBytes,
                                                const QString& extension) const {
    if (core::FormatOfExtension(extension.toStdString()) != core::CodeFormat::IntelHex) {
        return fileBytes;
    }
    return core::ParseIntelHex(
        std::string_view(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size()));
}

void MainDialog::SetImage(const std::vector<uint8_t>& image) {
    controls_.hexEdit->SetData(image.data(), static_cast<uint32_t>(image.size()), true);
}

void MainDialog::ShowImageStatus(const std::vector<uint8_t>& image) {
    controls_.sizeStatus->setText(Shown(TextTable::sizePrefix) +
                                  QString::number(image.size(), 16).toUpper());
    controls_.checksumStatus->setText(
        Shown(TextTable::checksumPrefix) +
        QStringLiteral("%1").arg(core::ImageChecksum(image), 4, 16, QChar('0')).toUpper());
}

void MainDialog::OnImageEdited() {
    ShowImageStatus(CurrentImage());
    // Every load and dump sets the source anew, which drops the marker; Auto Reload
    // leaves it, since edits outside the reloaded file's bytes survive a reload.
    const QString marker = Shown(TextTable::editedMarker);
    const QString source = controls_.sourceStatus->text();
    if (!source.endsWith(marker)) {
        controls_.sourceStatus->setText(source + marker);
    }
}

void MainDialog::OnLoad() {
    reloadAllowed_ = false;
    const auto allowReload = qScopeGuard([this] { reloadAllowed_ = true; });
    const PartInfo* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    insertAddress_ = part->iapStart;
    AreaDialog area(insertAddress_, this);
    if (prompts_.Run(area) != QDialog::Accepted) {
        return;
    }
    if (insertAddress_ >= part->flashSize) {
        ShowError(Shown(TextTable::insertAddressOverChipSize));
        return;
    }
    const QString path = prompts_.OpenFileName(this, PlainText::openFilter);
    if (path.isEmpty()) {
        return;
    }
    const std::string nativePath = NativePath(path);
    if (core::FormatOfPath(nativePath) == core::CodeFormat::Project) {
        LoadProjectFile(path);
    } else {
        LoadImageFile(path, QFile::decodeName(core::UpperExtension(nativePath).c_str()));
    }
}

void MainDialog::LoadImageFile(const QString& path, const QString& extension) {
    const PartInfo& part = *CurrentPart();
    core::CodeFile file = core::ReadCodeFile(NativePath(path));
    if (file.failure != core::FileFailure::None) {
        ShowError(OpenFailureText(path, file.failure));
        return;
    }
    reloadPath_ = path;
    reloadExtension_ = extension;
    std::vector<uint8_t> bytes = ConvertedImage(std::move(file.bytes), extension);
    const std::size_t room = part.flashSize - insertAddress_;  // the caller checked the address
    if (bytes.size() > room) {
        const QMessageBox::StandardButton answer = prompts_.Message(
            this, QMessageBox::Warning, libraryName_, Shown(TextTable::fileTooLarge),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Ok) {
            return;
        }
        bytes.resize(room);
    }
    const std::vector<uint8_t> image = core::OverlayImage(CurrentImage(), bytes, insertAddress_);
    SetImage(image);
    controls_.sourceStatus->setText(path);
    ShowImageStatus(image);
    SetCodeCommandsEnabled(true);

    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    const std::size_t length =
        std::min<std::size_t>(static_cast<std::size_t>(name.size()), KORVID_CODE_NAME_SIZE - 1);
    std::memcpy(job_.codeName, name.constData(), length);
    job_.codeName[length] = '\0';
}

void MainDialog::LoadProjectFile(const QString& path) {
    const core::LoadedProject project = core::LoadProject(NativePath(path));
    if (project.result != RC_OK) {
        ShowError(project.codeReadFailed ? CantOpenProjectText(path)
                                         : ProjectFailureText(project.result, path));
        return;
    }
    ApplyProject(project, path);
}

void MainDialog::ApplyProject(const core::LoadedProject& project, const QString& path) {
    const JobRecord& record = project.record;
    // A part that the named catalogue does not hold is refused before the
    // selection is touched (the ICP catalogue is empty).
    const uint32_t partCount = project.icpFlag != 0 ? icpPartCount_ : ispPartCount_;
    if (record.partIndex < 0 || static_cast<uint32_t>(record.partIndex) >= partCount) {
        ShowError(Shown(TextTable::mcuTypeError));
        return;
    }
    programmerRadio_ = project.icpFlag != 0 ? 1 : 0;
    areaRadio_ = static_cast<int32_t>(std::min<uint32_t>(record.programArea, AREA_WHOLE_CHIP));
    PushProgrammerRadio();
    PushAreaRadio();
    FillSeriesList();

    const PartInfo& part = activeCatalogue_[record.partIndex];
    switch (SelectCatalogueEntry(part)) {
        case PartLookup::SeriesMissing:
            ShowError(Shown(TextTable::mcuTypeError));
            return;
        case PartLookup::PartMissing:
            ShowError(Shown(TextTable::bodyError));
            return;
        case PartLookup::Selected:
            break;
    }

    // The options become exactly the project's, also when the part was already
    // selected and kept its boxes.
    const uint64_t states = uint64_t{record.optionStates[1]} << 32 | record.optionStates[0];
    uint64_t applied = 0;
    for (uint32_t k = 0; k < part.optionCount && k < KORVID_MAX_OPTIONS; ++k) {
        const bool on = (states >> k) & 1;
        applied |= uint64_t{on} << k;
        if (k < static_cast<uint32_t>(kOptionBoxCount)) {
            controls_.optionBoxes[k]->setChecked(on);
        }
    }
    job_.optionStates[0] = static_cast<uint32_t>(applied);
    job_.optionStates[1] = static_cast<uint32_t>(applied >> 32);
    UpdateHwFieldsFromHwenw();

    controls_.sourceStatus->setText(path + Shown(TextTable::codeNamePrefix) +
                                    DecodeCodeName(record.codeName) + "\")");
    ShowImageStatus(project.code);

    if (project.icpFlag != 0) {
        if (record.ispMemoryIndex < static_cast<uint32_t>(controls_.ispMemoryList->count())) {
            controls_.ispMemoryList->setCurrentIndex(static_cast<int>(record.ispMemoryIndex));
            OnIspMemoryChanged();
        }
        if (record.iapMemoryIndex < static_cast<uint32_t>(controls_.iapMemoryList->count())) {
            controls_.iapMemoryList->setCurrentIndex(static_cast<int>(record.iapMemoryIndex));
            OnIapMemoryChanged();
        }
        controls_.hwwidlEdit->setText(QString::number(record.hwOptions & 1));
        controls_.hwpsEdit->setText(QString::number((record.hwOptions >> 1) & 7));
    }

    SetImage(project.code);
    SetCodeCommandsEnabled(true);
}

void MainDialog::OnActivated() {
    if (!reloadAllowed_ || !autoReload_ || reloadPath_.isEmpty()) {
        return;
    }
    const PartInfo* part = CurrentPart();
    // An address left over from a refused load lies outside the part: nothing to place.
    if (part == nullptr || insertAddress_ >= part->flashSize) {
        return;
    }
    // Our own message box re-activates the window when it closes: no reload meanwhile.
    reloadAllowed_ = false;
    const auto allowReload = qScopeGuard([this] { reloadAllowed_ = true; });
    core::CodeFile file = core::ReadCodeFile(NativePath(reloadPath_));
    if (file.failure != core::FileFailure::None) {
        const QString path = reloadPath_;
        reloadPath_.clear();
        controls_.sourceStatus->clear();
        ShowError(OpenFailureText(path, file.failure));
        return;
    }
    std::vector<uint8_t> bytes = ConvertedImage(std::move(file.bytes), reloadExtension_);
    bytes.resize(std::min<std::size_t>(bytes.size(), part->flashSize - insertAddress_));
    const std::vector<uint8_t> image = core::OverlayImage(CurrentImage(), bytes, insertAddress_);
    SetImage(image);
    ShowImageStatus(image);
}

}  // namespace korvid::workbench
