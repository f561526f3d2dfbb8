// MainDialog: the programming commands "Update Target", "Update Programmer",
// "Dump Target Info" and "Save *.KPJ", and the programmer re-flash they may ask for.
#include "DisplayText.h"
#include "MainDialog.h"
#include "MaxCountDialog.h"
#include "ProgressDialog.h"
#include "command_messages.h"
#include "serial_settings.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#include <array>

namespace korvid::workbench {
namespace {

constexpr std::size_t kDumpBytes = 256;

}  // namespace

void MainDialog::FillJob() {
    job_.programArea = static_cast<uint32_t>(areaRadio_);
    // A list without a selection gives -1.
    job_.ispMemoryIndex = static_cast<uint32_t>(controls_.ispMemoryList->currentIndex());
    job_.iapMemoryIndex = static_cast<uint32_t>(controls_.iapMemoryList->currentIndex());
    job_.hwOptions =
        core::HwOptionsFromFields(controls_.hwwidlEdit->text().toStdString(),
                                  controls_.hwpsEdit->text().toStdString(), job_.hwOptions);
    codeCopy_ = CurrentImage();
    job_.codeLength = static_cast<uint32_t>(codeCopy_.size());
    job_.codeBuffer = codeCopy_.data();
}

void MainDialog::ReleaseCodeCopy() {
    job_.codeBuffer = nullptr;
    codeCopy_ = {};
}

QString MainDialog::ResultText(uint8_t result, const TextPair& text) {
    QString shown = Shown(text);
    if (result == RC_NO_DEVICE && operations_.ProgrammerNotAccessible()) {
        shown += '\n' + Shown(TextTable::programmerNotAccessible);
    }
    return shown;
}

std::optional<uint8_t> MainDialog::WithFirmwareRetry(const std::function<uint8_t()>& call) {
    for (;;) {
        const uint8_t result = call();
        if (result != RC_FIRMWARE_MISMATCH) {
            return result;
        }
        const QMessageBox::StandardButton answer = prompts_.Message(
            this, QMessageBox::Question, libraryName_, Shown(TextTable::unmatchedFirmware),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            return std::nullopt;
        }
        const uint8_t flashed = RunFirmwareUpdate();
        if (flashed != RC_OK) {
            return flashed;
        }
    }
}

uint8_t MainDialog::RunFirmwareUpdate() {
    ProgressDialog progress(firmwareUpdate_, this);
    // The events come on the worker thread; the dialog takes them over to its own.
    std::thread worker = StartFirmwareUpdate(
        firmwareUpdate_, operations_,
        [&progress](const KorvidProgress& event) { progress.ReportProgress(event); });
    prompts_.Run(progress);
    // The dialog ends once busy is clear; the worker has then stored its result
    // and only returns. Joining keeps no thread running past the command (and
    // covers a dialog that was ended some other way).
    if (worker.joinable()) {
        worker.join();
    }
    return firmwareUpdate_.result;
}

void MainDialog::OnUpdate() {
    // The command's own dialogs re-activate the window: no Auto Reload meanwhile.
    reloadAllowed_ = false;
    SetUpdateCommandsEnabled(false);
    const auto end = qScopeGuard([this] {
        ReleaseCodeCopy();
        SetUpdateCommandsEnabled(true);
        reloadAllowed_ = true;
    });
    FillJob();
    if (toTarget_ != 0) {
        core::ApplyDirectProgramming(job_);
    } else {
        const PartInfo* part = CurrentPart();
        if (part == nullptr) {
            return;
        }
        MaxCountDialog maxCount(job_, part->flashSize, sharedMaxCount_, prompts_, libraryName_,
                                this);
        if (prompts_.Run(maxCount) != QDialog::Accepted) {
            return;
        }
        job_.maxCount = sharedMaxCount_;
    }
    const std::optional<uint8_t> result =
        WithFirmwareRetry([this] { return operations_.UpdateMCU(job_, partIcpMode_, toTarget_); });
    if (!result) {
        return;
    }
    const QString text = ResultText(*result, core::UpdateResultText(*result));
    prompts_.Message(this, *result == RC_OK ? QMessageBox::NoIcon : QMessageBox::Critical,
                     libraryName_, text, QMessageBox::Ok, QMessageBox::Ok);
}

void MainDialog::OnDump() {
    reloadAllowed_ = false;
    controls_.dumpTargetInfo->setEnabled(false);
    const auto end = qScopeGuard([this] {
        controls_.dumpTargetInfo->setEnabled(true);
        reloadAllowed_ = true;
    });
    std::vector<uint8_t> buffer(kDumpBytes);
    const std::optional<uint8_t> result =
        WithFirmwareRetry([this, &buffer] { return operations_.DumpMCUInfo(buffer.data()); });
    if (!result) {
        return;
    }
    if (*result != RC_OK) {
        ShowError(ResultText(*result, core::DumpFailureText(*result)));
        return;
    }
    // The dump is no code: it may be saved, not programmed.
    SetImage(buffer);
    controls_.sourceStatus->setText(Shown(TextTable::dumpInformationOk));
    controls_.sizeStatus->clear();
    controls_.checksumStatus->clear();
    SetUpdateCommandsEnabled(false);
}

void MainDialog::OnSaveKpj() {
    reloadAllowed_ = false;
    const auto end = qScopeGuard([this] {
        ReleaseCodeCopy();
        reloadAllowed_ = true;
    });
    const QString path =
        prompts_.SaveFileName(this, PlainText::saveFilter, PlainText::kpjExtension);
    if (path.isEmpty()) {
        return;
    }
    FillJob();
    const uint8_t result =
        operations_.SaveKPJ(QFile::encodeName(path).toStdString(), job_, partIcpMode_);
    if (result == RC_FILE_OPEN) {
        ShowError(Shown(TextTable::cantCreateOrWrite) + path + "\" !");
    } else if (result != RC_OK) {
        ShowError(Shown(TextTable::saveKpjFail));
    }
}

}  // namespace korvid::workbench
