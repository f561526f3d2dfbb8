// MainDialog: the display language, chosen in the window's context menu. A choice
// shows at once: the window's own texts are set anew, the status fields turned
// into the new language, and every dialog and message shown later takes it.
#include "DisplayText.h"
#include "MainDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>

#include <string>

namespace korvid::workbench {
namespace {

constexpr const char* kLanguageVariable = "KORVID_LANG";

}  // namespace

void MainDialog::CreateLanguageActions() {
    auto* group = new QActionGroup(this);
    const auto item = [&](const char* text, const char* name, Language language) {
        auto* action = new QAction(QString::fromUtf8(text), group);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, language] { OnLanguageChosen(language); });
        return action;
    };
    chineseAction_ = item(PlainText::chineseLanguage, "languageChinese", Language::Chinese);
    englishAction_ = item(PlainText::englishLanguage, "languageEnglish", Language::English);
}

Language MainDialog::StartLanguage() const {
    const QByteArray environment = qgetenv(kLanguageVariable);
    const std::optional<QString> remembered = selectionStore_->ReadLanguage();
    const std::string rememberedCode = remembered ? remembered->toStdString() : std::string();
    return ChooseLanguage(
        environment.isNull() ? std::nullopt
                             : std::optional<std::string_view>(environment.constData()),
        remembered ? std::optional<std::string_view>(rememberedCode) : std::nullopt);
}

void MainDialog::OnLanguageChosen(Language language) {
    ApplyLanguage(language);
    selectionStore_->WriteLanguage(language);
}

void MainDialog::ApplyLanguage(Language language) {
    const Language previous = DisplayLanguage();
    SetDisplayLanguage(language);
    ShowControlTexts(controls_);
    ShowOptionTexts();
    ShowStatusIn(previous);
    (language == Language::English ? englishAction_ : chineseAction_)->setChecked(true);
}

void MainDialog::ShowStatusIn(Language previous) {
    const Language now = DisplayLanguage();
    const auto swap = [&](QLineEdit* field, const TextPair& pair) {
        field->setText(SwapPairText(field->text(), pair, previous, now));
    };
    swap(controls_.sizeStatus, TextTable::sizePrefix);
    swap(controls_.checksumStatus, TextTable::checksumPrefix);
    // The source field holds a path, a path with a project's code name, or the
    // note of a dump.
    swap(controls_.sourceStatus, TextTable::codeNamePrefix);
    swap(controls_.sourceStatus, TextTable::dumpInformationOk);
}

}  // namespace korvid::workbench
