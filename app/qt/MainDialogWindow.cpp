#include "MainDialogWindow.h"

#include "AboutDialogWindow.h"
#include "AreaDialogWindow.h"
#include "CHexEditBase.h"
#include "MaxCountDialogWindow.h"
#include "ProgressDialogWindow.h"
#include "TextTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTranslator>

// The icon and bitmaps are compiled into this static library; a reference from
// here keeps the linker from dropping them.
static void InitWorkbenchResources() {
    Q_INIT_RESOURCE(resources);
}

namespace korvid::qt {
namespace {

using workbench::Language;
using workbench::MessageAnswer;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void ShowList(QComboBox& list, const workbench::ListState& state) {
    QStringList items;
    for (const std::string& item : state.items) {
        items << Text(item);
    }
    bool same = list.count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) {
        same = list.itemText(i) == items[i];
    }
    if (!same) {
        list.clear();
        list.addItems(items);
    }
    list.setCurrentIndex(state.selected);
    list.setEnabled(state.enabled);
    list.setToolTip(Text(state.tip));
}

void ShowField(QLineEdit& field, const workbench::FieldState& state) {
    if (field.text() != Text(state.text)) {
        field.setText(Text(state.text));
    }
    field.setEnabled(state.enabled);
}

void ShowStatus(QLineEdit& field, const std::string& text) {
    if (field.text() != Text(text)) {
        field.setText(Text(text));
        field.setCursorPosition(0);  // the beginning, also when the field is narrow
    }
}

QMessageBox::Icon IconOf(workbench::MessageIcon icon) {
    switch (icon) {
        case workbench::MessageIcon::Error:
            return QMessageBox::Critical;
        case workbench::MessageIcon::Warning:
            return QMessageBox::Warning;
        case workbench::MessageIcon::Question:
            return QMessageBox::Question;
        case workbench::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ButtonOf(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Cancel:
            return QMessageBox::Cancel;
        case MessageAnswer::Yes:
            return QMessageBox::Yes;
        case MessageAnswer::No:
            return QMessageBox::No;
        case MessageAnswer::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(workbench::MessageButtons buttons) {
    switch (buttons) {
        case workbench::MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case workbench::MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case workbench::MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// Each filter as its description with the patterns in parentheses, which the
// file dialog both shows and matches (in any case); separated by ";;".
QString FilterText(const std::vector<workbench::FileFilter>& filters) {
    QStringList entries;
    for (const workbench::FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns) {
            patterns << Text(pattern);
        }
        entries << Text(filter.description) + " (" + patterns.join(' ') + ")";
    }
    return entries.join(";;");
}

}  // namespace

MainDialogWindow::MainDialogWindow(UserPrompts& prompts, workbench::ProgrammerOperations& operations,
                                   workbench::SettingsStore& settings,
                                   workbench::Catalogue catalogue,
                                   std::optional<std::string_view> environmentLanguage,
                                   QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      controls_(BuildMainDialogControls(*this)),
      hexEdit_(*controls_.hexEdit),
      model_(*this, hexEdit_, operations, settings, std::move(catalogue)) {
    InitWorkbenchResources();
    setObjectName("id102");
    setWindowIcon(QIcon(":/korvid/icon128.png"));

    auto* group = new QActionGroup(this);
    const auto item = [&](const char* text, const char* name, Language language) {
        auto* action = new QAction(QString::fromUtf8(text), group);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, language] { model_.OnLanguageChosen(language); });
        return action;
    };
    chineseAction_ =
        item(workbench::PlainText::chineseLanguage, "languageChinese", Language::Chinese);
    englishAction_ =
        item(workbench::PlainText::englishLanguage, "languageEnglish", Language::English);

    ConnectControls();
    model_.OnInitDialog(environmentLanguage);
    resize(800, 640);
}

MainDialogWindow::~MainDialogWindow() {
    if (qtTexts_) {
        QCoreApplication::removeTranslator(qtTexts_.get());
    }
}

void MainDialogWindow::ConnectControls() {
    const MainDialogControls& c = controls_;
    workbench::MainDialog& m = model_;
    // Check boxes and radio buttons report toggled, which a click and an
    // assistive technology's toggle action both give; Render sets them with their
    // signals blocked.
    connect(c.ispRadio, &QRadioButton::toggled, this, [&m](bool on) {
        if (on) {
            m.OnProgrammerTypeClicked(0);
        }
    });
    connect(c.icpRadio, &QRadioButton::toggled, this, [&m](bool on) {
        if (on) {
            m.OnProgrammerTypeClicked(1);
        }
    });
    connect(c.seriesList, &QComboBox::activated, this, [&m](int item) { m.OnSeriesChanged(item); });
    connect(c.partList, &QComboBox::activated, this, [&m](int item) { m.OnPartChanged(item); });
    connect(c.ispMemoryList, &QComboBox::activated, this,
            [&m](int item) { m.OnIspMemoryChanged(item); });
    connect(c.iapMemoryList, &QComboBox::activated, this,
            [&m](int item) { m.OnIapMemoryChanged(item); });
    for (int k = 0; k < kOptionBoxCount; ++k) {
        connect(c.optionBoxes[k], &QCheckBox::toggled, this,
                [&m, k](bool checked) { m.OnOptionClicked(k, checked); });
    }
    for (int i = 0; i < kAreaCount; ++i) {
        connect(c.areaRadios[i], &QRadioButton::toggled, this, [&m, i](bool on) {
            if (on) {
                m.OnAreaClicked(i);
            }
        });
    }
    connect(c.hwwidlEdit, &QLineEdit::textEdited, this,
            [&m](const QString& text) { m.OnHwwidlEdited(text.toStdString()); });
    connect(c.hwpsEdit, &QLineEdit::textEdited, this,
            [&m](const QString& text) { m.OnHwpsEdited(text.toStdString()); });
    connect(c.load, &QPushButton::clicked, this, [&m] { m.OnLoad(); });
    connect(c.hexEdit, &CHexEditBase::editChanged, this, [&m] { m.OnImageEdited(); });
    connect(c.updateTarget, &QPushButton::clicked, this, [&m] { m.OnUpdateTarget(); });
    connect(c.updateProgrammer, &QPushButton::clicked, this, [&m] { m.OnUpdateProgrammer(); });
    connect(c.dumpTargetInfo, &QPushButton::clicked, this, [&m] { m.OnDump(); });
    connect(c.saveKpj, &QPushButton::clicked, this, [&m] { m.OnSaveKpj(); });
    connect(c.writeProtect, &QCheckBox::toggled, this,
            [&m](bool checked) { m.OnWriteProtectClicked(checked); });
    connect(c.autoReload, &QCheckBox::toggled, this,
            [&m](bool checked) { m.OnAutoReloadClicked(checked); });
    connect(c.about, &QPushButton::clicked, this, [&m] { m.OnAbout(); });
    connect(c.exit, &QPushButton::clicked, this, &MainDialogWindow::reject);
}

void MainDialogWindow::Render(const workbench::MainDialogState& s) {
    const MainDialogControls& c = controls_;
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        quiet.push_back(std::make_unique<QSignalBlocker>(button));
    }
    if (shownLanguage_ != s.language) {
        shownLanguage_ = s.language;
        ShowQtTextsIn(s.language);
        ShowControlTexts(c, s.texts);
        (s.language == Language::English ? englishAction_ : chineseAction_)->setChecked(true);
    }
    setWindowTitle(Text(s.caption));
    setAccessibleName(Text(s.caption));

    c.ispRadio->setChecked(s.programmerRadio == 0);
    c.icpRadio->setChecked(s.programmerRadio == 1);
    c.ispRadio->setEnabled(s.ispEnabled);
    c.icpRadio->setEnabled(s.icpEnabled);
    ShowList(*c.seriesList, s.series);
    ShowList(*c.partList, s.part);
    for (int i = 0; i < kAreaCount; ++i) {
        c.areaRadios[i]->setChecked(s.areaRadio == i);
        c.areaRadios[i]->setEnabled(s.areasEnabled);
    }
    for (int k = 0; k < kOptionBoxCount; ++k) {
        const workbench::OptionBoxState& box = s.options[k];
        QCheckBox& control = *c.optionBoxes[k];
        control.setText(Text(box.text));
        control.setToolTip(Text(box.tip));
        control.setAccessibleName(Text(box.accessibleName));
        control.setChecked(box.checked);
        control.setEnabled(box.enabled);
        control.setVisible(box.shown);
    }
    ShowList(*c.ispMemoryList, s.ispMemory);
    ShowList(*c.iapMemoryList, s.iapMemory);
    ShowField(*c.hwwidlEdit, s.hwwidl);
    ShowField(*c.hwpsEdit, s.hwps);
    ShowStatus(*c.sourceStatus, s.source);
    ShowStatus(*c.sizeStatus, s.size);
    ShowStatus(*c.checksumStatus, s.checksum);
    c.load->setEnabled(s.loadEnabled);
    c.saveKpj->setEnabled(s.saveKpjEnabled);
    c.updateTarget->setEnabled(s.updateTargetEnabled);
    c.updateProgrammer->setEnabled(s.updateProgrammerEnabled);
    c.dumpTargetInfo->setEnabled(s.dumpEnabled);
    c.writeProtect->setChecked(s.writeProtect);
    c.autoReload->setChecked(s.autoReload);
}

void MainDialogWindow::ShowQtTextsIn(Language language) {
    if (qtTexts_) {
        QCoreApplication::removeTranslator(qtTexts_.get());
        qtTexts_.reset();
    }
    if (language != Language::Chinese) {
        return;
    }
    auto translator = std::make_unique<QTranslator>();
    if (translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qtTexts_ = std::move(translator);
    }
}

MessageAnswer MainDialogWindow::ShowMessage(const workbench::Message& message) {
    switch (prompts_.Message(this, IconOf(message.icon), Text(message.caption), Text(message.text),
                             ButtonsOf(message.buttons), ButtonOf(message.defaultAnswer))) {
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        default:  // closed without a button
            return workbench::DismissedAnswer(message.buttons);
    }
}

std::string MainDialogWindow::ChooseFileToOpen(const std::vector<workbench::FileFilter>& filters) {
    return prompts_.OpenFileName(this, FilterText(filters)).toStdString();
}

std::string MainDialogWindow::ChooseFileToSave(const std::vector<workbench::FileFilter>& filters,
                                               std::string_view defaultExtension) {
    return prompts_
        .SaveFileName(this, FilterText(filters), QString::fromUtf8(defaultExtension.data(),
                                                                   static_cast<qsizetype>(
                                                                       defaultExtension.size())))
        .toStdString();
}

bool MainDialogWindow::RunAreaDialog(workbench::AreaDialog& dialog) {
    AreaDialogWindow window(dialog, this);
    return prompts_.Run(window) == QDialog::Accepted;
}

bool MainDialogWindow::RunMaxCountDialog(workbench::MaxCountDialog& dialog) {
    MaxCountDialogWindow window(
        dialog, [this](const workbench::Message& message) { ShowMessage(message); }, this);
    return prompts_.Run(window) == QDialog::Accepted;
}

void MainDialogWindow::RunAboutDialog(std::string_view versionText) {
    AboutDialogWindow about(
        QString::fromUtf8(versionText.data(), static_cast<qsizetype>(versionText.size())),
        QString::fromUtf8(model_.Shown(workbench::TextTable::aboutOk)), this);
    prompts_.Run(about);
}

void MainDialogWindow::RunProgressDialog(workbench::ReflashProgress& progress) {
    ProgressDialogWindow window(progress, this);
    prompts_.Run(window);
}

void MainDialogWindow::reject() {
    model_.OnExit();
    QDialog::reject();
}

bool MainDialogWindow::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) {
        model_.OnActivated();
    }
    return handled;
}

void MainDialogWindow::keyPressEvent(QKeyEvent* event) {
    // A focused button takes Enter itself and is pressed; Enter anywhere else
    // does nothing: the dialog has no default button, and Enter never ends it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName("Window menu");
    menu.addAction(workbench::PlainText::aboutItem, this, [this] { model_.OnAbout(); });
    menu.addSeparator();
    menu.addAction(chineseAction_);
    menu.addAction(englishAction_);
    menu.exec(event->globalPos());
}

}  // namespace korvid::qt
