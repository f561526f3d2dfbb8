// MainDialog: the programming commands "Update Target", "Update Programmer",
// "Dump Target Info" and "Save *.KPJ", and the programmer re-flash they may ask for.
#include "FirmwareUpdate.h"
#include "MainDialog.h"
#include "MaxCountDialog.h"
#include "ReflashProgress.h"
#include "TextTable.h"
#include "access_advice_text.h"
#include "command_messages.h"
#include "firmware_retry.h"
#include "serial_settings.h"

#include <thread>

namespace korvid::workbench {
namespace {

constexpr std::size_t kDumpBytes = 256;
constexpr const char* kProjectExtension = "kpj";

const std::vector<FileFilter>& SaveFilters() {
    static const std::vector<FileFilter> filters{{"Vostrel project file", {"*.kpj"}}};
    return filters;
}

// Keeps Auto Reload off while a command's own dialogs re-activate the window.
class ReloadPause {
public:
    explicit ReloadPause(bool& allowed) : allowed_(allowed) { allowed_ = false; }
    ~ReloadPause() { allowed_ = true; }
    ReloadPause(const ReloadPause&) = delete;
    ReloadPause& operator=(const ReloadPause&) = delete;

private:
    bool& allowed_;
};

}  // namespace

void MainDialog::FillJob(std::vector<uint8_t>& codeCopy) {
    job_.programArea = static_cast<uint32_t>(areaRadio_);
    // A list without a selection gives -1.
    job_.ispMemoryIndex = static_cast<uint32_t>(ispMemoryItem_);
    job_.iapMemoryIndex = static_cast<uint32_t>(iapMemoryItem_);
    job_.hwOptions = core::HwOptionsFromFields(hwwidlText_, hwpsText_, job_.hwOptions);
    codeCopy = CurrentImage();
    job_.codeLength = static_cast<uint32_t>(codeCopy.size());
    job_.codeBuffer = codeCopy.data();
}

std::string MainDialog::ResultText(uint8_t result, const core::TextPair& text) {
    std::string shown = Shown(text);
    if (result != RC_NO_DEVICE) {
        return shown;
    }
    if (const core::TextPair* advice = core::AccessAdviceText(operations_.ProgrammerAccess())) {
        shown += '\n';
        shown += Shown(*advice);
    }
    return shown;
}

std::optional<uint8_t> MainDialog::WithFirmwareRetry(const std::function<uint8_t()>& call) {
    // A programmer that a cut-short re-flash left waiting in firmware-update mode
    // answers no command: it is offered the re-flash as one with other firmware.
    const auto attempt = [this, &call] {
        const uint8_t result = call();
        return result == RC_NO_DEVICE && operations_.ProgrammerWaitsForFirmware()
                   ? uint8_t{RC_FIRMWARE_MISMATCH}
                   : result;
    };
    return core::RunWithFirmwareRetry(
        attempt,
        [this] {
            return Ask(MessageIcon::Question, Shown(TextTable::unmatchedFirmware),
                       MessageButtons::YesNo, MessageAnswer::Yes) == MessageAnswer::Yes;
        },
        [this] { return RunFirmwareUpdate(); });
}

uint8_t MainDialog::RunFirmwareUpdate() {
    FirmwareUpdateState state;
    ReflashProgress progress(state, language_);
    std::thread worker = StartFirmwareUpdate(
        state, operations_, [&progress](const KorvidProgress& event) { progress.Report(event); });
    view_.RunProgressDialog(progress);
    // The dialog ends once busy is clear; the worker has then stored its result
    // and only returns. Joining keeps no thread running past the command.
    if (worker.joinable()) {
        worker.join();
    }
    return state.result;
}

void MainDialog::OnUpdateTarget() {
    toTarget_ = 1;
    OnUpdate();
}

void MainDialog::OnUpdateProgrammer() {
    toTarget_ = 0;
    OnUpdate();
}

void MainDialog::OnUpdate() {
    const PartInfo* part = CurrentPart();
    if (part == nullptr || updateRunning_) {
        return;
    }
    const ReloadPause pause(reloadAllowed_);
    updateRunning_ = true;
    Render();
    std::vector<uint8_t> codeCopy;
    FillJob(codeCopy);
    if (const std::optional<uint8_t> result = RunUpdate(*part)) {
        Ask(*result == RC_OK ? MessageIcon::None : MessageIcon::Error,
            ResultText(*result, core::UpdateResultText(*result)), MessageButtons::Ok,
            MessageAnswer::Ok);
    }
    job_.codeBuffer = nullptr;
    updateRunning_ = false;
    Render();
}

std::optional<uint8_t> MainDialog::RunUpdate(const PartInfo& part) {
    if (toTarget_ != 0) {
        core::ApplyDirectProgramming(job_);
    } else {
        MaxCountDialog maxCount(job_, part.flashSize, sharedMaxCount_, language_,
                                catalogue_.libraryName);
        if (!view_.RunMaxCountDialog(maxCount)) {
            return std::nullopt;
        }
        job_.maxCount = sharedMaxCount_;
    }
    return WithFirmwareRetry(
        [this] { return operations_.UpdateMCU(job_, partIcpMode_, toTarget_); });
}

void MainDialog::OnDump() {
    if (dumpRunning_) {
        return;
    }
    const ReloadPause pause(reloadAllowed_);
    dumpRunning_ = true;
    Render();
    std::vector<uint8_t> buffer(kDumpBytes);
    const std::optional<uint8_t> result =
        WithFirmwareRetry([this, &buffer] { return operations_.DumpMCUInfo(buffer.data()); });
    if (result == RC_OK) {
        // The dump is no code: it may be saved, not programmed.
        SetImage(buffer);
        sourceKind_ = SourceKind::Dump;
        imageStatusShown_ = false;
        codeIsProgram_ = false;
    } else if (result) {
        ShowError(ResultText(*result, core::DumpFailureText(*result)));
    }
    dumpRunning_ = false;
    Render();
}

void MainDialog::OnSaveKpj() {
    const ReloadPause pause(reloadAllowed_);
    const std::string path = view_.ChooseFileToSave(SaveFilters(), kProjectExtension);
    if (path.empty()) {
        return;
    }
    std::vector<uint8_t> codeCopy;
    FillJob(codeCopy);
    const uint8_t result = operations_.SaveKPJ(path, job_, partIcpMode_);
    job_.codeBuffer = nullptr;
    if (result == RC_FILE_OPEN) {
        ShowError(Shown(TextTable::cantCreateOrWrite) + path + "\" !");
    } else if (result != RC_OK) {
        ShowError(Shown(TextTable::saveKpjFail));
    }
}

}  // namespace korvid::workbench
