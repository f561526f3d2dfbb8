// MainDialog: start-up, the remembered selection, the display language, About,
// messages and the end of the dialog.
#include "MainDialog.h"

#include "TextTable.h"
#include "version_text.h"

#include <utility>

namespace korvid::workbench {
namespace {

constexpr uint32_t kCodeBufferGrey = 0xC8C8C8;  // 0x00BBGGRR
constexpr uint32_t kBlack = 0;
constexpr uint8_t kAddressDigits = 8;
constexpr unsigned kBytesPerRow = 16;

}  // namespace

MainDialog::MainDialog(MainDialogView& view, hexedit::HexEditControl& hexEdit,
                       ProgrammerOperations& operations, SettingsStore& settings,
                       Catalogue catalogue)
    : view_(view),
      hexEdit_(hexEdit),
      operations_(operations),
      settings_(settings),
      catalogue_(std::move(catalogue)) {
    job_.partIndex = -1;
    job_.programArea = static_cast<uint32_t>(areaRadio_);
}

void MainDialog::OnInitDialog(std::optional<std::string_view> environmentLanguage) {
    const std::optional<std::string> remembered = settings_.ReadLanguage();
    language_ = ChooseLanguage(environmentLanguage,
                               remembered ? std::optional<std::string_view>(*remembered)
                                          : std::nullopt);
    if (catalogue_.isp.empty()) {
        programmerRadio_ = 1;
    }
    FillSeriesList();

    hexEdit_.SetShowAddress(true, true);
    hexEdit_.SetAddressDigits(kAddressDigits, true);
    hexEdit_.SetShowAscii(true, true);
    hexEdit_.SetBytesPerRow(kBytesPerRow, false, true);
    hexEdit_.SetAddressColors(kCodeBufferGrey, kBlack, true);
    hexEdit_.SetAsciiColors(kCodeBufferGrey, kBlack, true);
    hexEdit_.SetHexColors(kCodeBufferGrey, kBlack, true);
    hexEdit_.SetBackgroundColor(kCodeBufferGrey, true);
    hexEdit_.SetReadOnly(writeProtect_, true);

    RestoreSelection();
    Render();
}

void MainDialog::RestoreSelection() {
    const std::optional<uint32_t> programmer = settings_.ReadProgrammer();
    if (!programmer) {
        return;
    }
    const uint32_t type = *programmer & 0xFF;
    if (type > 1 || catalogue_.Of(type == 1).empty()) {
        return;
    }
    programmerRadio_ = static_cast<int32_t>(type);
    FillSeriesList();
    const std::optional<uint32_t> body = settings_.ReadBody();
    if (!body || (*body & 0xFF) >= ActiveCatalogue().size()) {
        return;
    }
    SelectCatalogueEntry(static_cast<int32_t>(*body & 0xFF));
}

void MainDialog::OnExit() {
    settings_.WriteSelection(partIcpMode_, job_.partIndex);
}

void MainDialog::OnLanguageChosen(Language language) {
    language_ = language;
    settings_.WriteLanguage(language);
    Render();
}

std::string MainDialog::VersionCaption() const {
    return catalogue_.libraryName + " v" + VersionText(catalogue_.version);
}

void MainDialog::OnAbout() {
    view_.RunAboutDialog(VersionCaption());
}

void MainDialog::OnWriteProtectClicked(bool checked) {
    writeProtect_ = checked;
    hexEdit_.SetReadOnly(checked, true);
    Render();
}

void MainDialog::OnAutoReloadClicked(bool checked) {
    autoReload_ = checked;
    Render();
}

MessageAnswer MainDialog::Ask(MessageIcon icon, std::string text, MessageButtons buttons,
                              MessageAnswer defaultAnswer) {
    return view_.ShowMessage({icon, catalogue_.libraryName, std::move(text), buttons,
                              defaultAnswer});
}

void MainDialog::ShowError(std::string text) {
    Ask(MessageIcon::Error, std::move(text), MessageButtons::Ok, MessageAnswer::Ok);
}

void MainDialog::Render() const {
    view_.Render(State());
}

}  // namespace korvid::workbench
