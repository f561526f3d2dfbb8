// The English display mode: chosen in the window's menu or by KORVID_LANG, shown
// at once in every window text, control, dialog and message. Only the library's
// own display name and its option descriptions (as tips) stay Chinese.
#include "AreaDialog.h"
#include "DisplayText.h"
#include "FirmwareUpdate.h"
#include "MaxCountDialog.h"
#include "ProgressDialog.h"
#include "command_messages.h"
#include "dialog_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

namespace korvid::workbench {
namespace {

using testing::MainDialogTest;

// Han characters, CJK punctuation, kana and full-width forms.
bool HasCjk(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
            (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || c >= 0x20000) {
            return true;
        }
    }
    return false;
}

bool IsOptionBox(const QWidget& widget) {
    const int id = widget.objectName().mid(2).toInt();
    return widget.objectName().startsWith("id") && id >= 1010 && id <= 1021;
}

// Every Chinese text that root and its children show, as "object kind: text":
// texts, titles, list items, tips. The library's display name is taken out first
// (the caption and the About text carry it as the library gives it), and the tips
// of the option boxes, which are the library's descriptions, are not looked at.
QStringList ChineseShownIn(QWidget& root, const QString& libraryName) {
    QStringList found;
    const auto check = [&](const QWidget* widget, const char* kind, QString text) {
        if (!libraryName.isEmpty()) {
            text.remove(libraryName);
        }
        if (HasCjk(text)) {
            found << widget->objectName() + " " + kind + ": " + text;
        }
    };
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (const QWidget* widget : widgets) {
        check(widget, "title", widget->windowTitle());
        if (!IsOptionBox(*widget)) {
            check(widget, "tip", widget->toolTip());
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            check(widget, "text", button->text());
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            check(widget, "text", label->text());
        }
        if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            check(widget, "title", group->title());
        }
        if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            check(widget, "text", edit->text());
            check(widget, "placeholder", edit->placeholderText());
        }
        if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i) {
                check(widget, "item", list->itemText(i));
            }
        }
    }
    return found;
}

class LanguageTest : public MainDialogTest {
protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        qunsetenv("KORVID_LANG");
    }
    void TearDown() override {
        dialog_.reset();
        qunsetenv("KORVID_LANG");
        SetDisplayLanguage(Language::Chinese);
    }

    QAction* Action(const char* name) {
        QAction* action = Dialog().findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    std::optional<QString> Remembered() {
        return SelectionStore(Dialog().LibraryName(), 0x0710).ReadLanguage();
    }
    void LoadBinary() {
        QueueLoad(WriteFile("code.bin", QByteArray(0x100, '\x5A')));
        Dialog().OnLoad();
        ASSERT_TRUE(CodeCommandsEnabled());
    }
};

TEST_F(LanguageTest, ChineseIsTheDefault) {
    MainDialog& dialog = Dialog();
    EXPECT_EQ(DisplayLanguage(), Language::Chinese);
    EXPECT_TRUE(Action("languageChinese")->isChecked());
    EXPECT_FALSE(Action("languageEnglish")->isChecked());
    EXPECT_EQ(Action("languageChinese")->text(), QString::fromUtf8("中文"));
    EXPECT_EQ(Action("languageEnglish")->text(), "English");
    // The walk finds Chinese where there is some.
    EXPECT_FALSE(ChineseShownIn(dialog, dialog.LibraryName()).isEmpty());
    EXPECT_EQ(Find<QCheckBox>(1010)->text(), QString::fromUtf8("仅上电重置看门狗"));
    EXPECT_TRUE(Find<QCheckBox>(1010)->toolTip().isEmpty());
}

TEST_F(LanguageTest, EnglishFromTheEnvironmentLeavesOnlyTheLibrarysTexts) {
    qputenv("KORVID_LANG", "en");
    MainDialog& dialog = Dialog();
    LoadBinary();
    EXPECT_EQ(ChineseShownIn(dialog, dialog.LibraryName()), QStringList());
    EXPECT_TRUE(Action("languageEnglish")->isChecked());
    EXPECT_EQ(Find<QPushButton>(1041)->text(), "Load");
    EXPECT_EQ(Find<QGroupBox>(1000)->title(), "MCU Part No.");
    EXPECT_EQ(Find<QLabel>(1028)->text(), "Set :");
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), "Size:0x100");
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), "Checksum:0x5A00");
    // The longer English prefixes still fit their fields.
    for (const int id : {1039, 1040}) {
        const QLineEdit* field = Find<QLineEdit>(id);
        EXPECT_GT(field->minimumWidth(), field->fontMetrics().horizontalAdvance(field->text()))
            << id;
    }
    // The caption keeps the library's name as the library gives it.
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器 v7.10"));
    // The options show their names, with the library's description as the tip.
    EXPECT_EQ(Find<QCheckBox>(1010)->text(), "FZWDTCR");
    EXPECT_EQ(Find<QCheckBox>(1010)->toolTip(), QString::fromUtf8("仅上电重置看门狗"));
    EXPECT_EQ(Find<QCheckBox>(1013)->text(), "KEEP IAP-DATA");
    EXPECT_EQ(Find<QCheckBox>(1013)->toolTip(), QString::fromUtf8("保留 IAP-资料"));
    EXPECT_TRUE(Find<QCheckBox>(1015)->text().isEmpty());
    // Accessible names are English as in Chinese.
    EXPECT_EQ(Find<QPushButton>(1041)->accessibleName(), "Load");
    EXPECT_EQ(Find<QCheckBox>(1013)->accessibleName(), "KEEP IAP-DATA");
}

TEST_F(LanguageTest, TheEnvironmentOverridesTheRememberedChoice) {
    Action("languageEnglish")->trigger();
    EXPECT_EQ(Remembered(), "en");
    dialog_.reset();

    qputenv("KORVID_LANG", "zh");
    EXPECT_EQ(Find<QPushButton>(1041)->text(), QString::fromUtf8("打开文件"));
    EXPECT_TRUE(Action("languageChinese")->isChecked());
    dialog_.reset();

    // A value that names no language leaves the remembered one.
    qputenv("KORVID_LANG", "fr");
    EXPECT_EQ(Find<QPushButton>(1041)->text(), "Load");
    dialog_.reset();

    qunsetenv("KORVID_LANG");
    EXPECT_EQ(Find<QPushButton>(1041)->text(), "Load");
    EXPECT_EQ(Remembered(), "en");
}

TEST_F(LanguageTest, TheMenuChoiceShowsAtOnceAndIsRemembered) {
    useLibrary_ = true;  // "Save *.KPJ" writes a real project to load back
    LoadBinary();
    const QString project = dir_.filePath("job.kpj");
    prompts_.saveFiles.push_back(project);
    Find<QPushButton>(1049)->click();
    QueueLoad(project);
    Dialog().OnLoad();
    ASSERT_TRUE(prompts_.messages.empty());
    Find<QCheckBox>(1011)->click();
    const QString chineseSource = project + QString::fromUtf8(" (代码名称: \"code.bin\")");
    ASSERT_EQ(Find<QLineEdit>(1038)->text(), chineseSource);

    Action("languageEnglish")->trigger();
    EXPECT_EQ(DisplayLanguage(), Language::English);
    EXPECT_EQ(ChineseShownIn(Dialog(), Dialog().LibraryName()), QStringList());
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), project + " (Code Name: \"code.bin\")");
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), "Size:0x100");
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), "Checksum:0x5A00");
    EXPECT_EQ(Find<QCheckBox>(1011)->text(), "AUX_RAM");
    // Switching changes texts only: the options, the code and the commands stay.
    EXPECT_TRUE(Find<QCheckBox>(1011)->isChecked());
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b10u);
    EXPECT_EQ(Image(), std::vector<uint8_t>(0x100, 0x5A));
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_EQ(Remembered(), "en");

    Action("languageChinese")->trigger();
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), chineseSource);
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x100"));
    EXPECT_EQ(Find<QPushButton>(1041)->text(), QString::fromUtf8("打开文件"));
    EXPECT_EQ(Find<QCheckBox>(1011)->text(), QString::fromUtf8("禁用内部扩展RAM"));
    EXPECT_TRUE(Find<QCheckBox>(1011)->toolTip().isEmpty());
    EXPECT_EQ(Remembered(), "zh");
}

TEST_F(LanguageTest, TheDumpNoteFollowsTheLanguage) {
    Find<QPushButton>(1048)->click();
    ASSERT_EQ(Find<QLineEdit>(1038)->text(), QString::fromUtf8("读取信息完成 !"));
    Action("languageEnglish")->trigger();
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), "Dump Information ok !");
    EXPECT_TRUE(Find<QLineEdit>(1039)->text().isEmpty());
}

TEST_F(LanguageTest, EverySmallerDialogIsEnglish) {
    qputenv("KORVID_LANG", "en");
    MainDialog& dialog = Dialog();
    const QString name = dialog.LibraryName();

    uint32_t insertAddress = 0x1000;
    AreaDialog area(insertAddress, &dialog);
    EXPECT_EQ(ChineseShownIn(area, name), QStringList());
    EXPECT_EQ(area.windowTitle(), "Select AP/IAP area");

    JobRecord job{};
    uint16_t shared = 0;
    MaxCountDialog maxCount(job, 0xF800, shared, prompts_, name, &dialog);
    EXPECT_EQ(ChineseShownIn(maxCount, name), QStringList());
    EXPECT_EQ(maxCount.windowTitle(), "Set Max Count & Serial Number");

    QStringList aboutChinese{"not run"};
    prompts_.dialogs.push_back([&](QDialog& about) {
        aboutChinese = ChineseShownIn(about, name);
        return int{QDialog::Accepted};
    });
    dialog.ShowAbout();
    EXPECT_EQ(aboutChinese, QStringList());

    // The re-flash picture blinks its notice: blank first (100 ms), then the text.
    FirmwareUpdateState state;
    state.busy = 1;
    ProgressDialog progress(state, &dialog);
    QString notice;
    QStringList progressChinese{"not run"};
    QTimer::singleShot(850, &progress, [&] {
        notice = progress.findChild<QLabel*>("id1066")->text();
        progressChinese = ChineseShownIn(progress, name);
        state.busy.store(0, std::memory_order_release);
    });
    EXPECT_EQ(progress.exec(), QDialog::Accepted);
    EXPECT_EQ(notice, TextTable::firmwareUpdating.english);
    EXPECT_EQ(progressChinese, QStringList());
}

TEST_F(LanguageTest, EveryMessageIsEnglish) {
    SetDisplayLanguage(Language::English);
    const TextPair* pairs[] = {&TextTable::programmerType,
                               &TextTable::mcuPartNo,
                               &TextTable::programmingArea,
                               &TextTable::hwOptionsSetting,
                               &TextTable::ispMemory,
                               &TextTable::iapMemory,
                               &TextTable::setLabel,
                               &TextTable::binaryCodeBuffer,
                               &TextTable::load,
                               &TextTable::saveKpj,
                               &TextTable::exit,
                               &TextTable::updateTarget,
                               &TextTable::updateProgrammer,
                               &TextTable::dumpTargetInfo,
                               &TextTable::writeProtect,
                               &TextTable::autoReloadCode,
                               &TextTable::sizePrefix,
                               &TextTable::checksumPrefix,
                               &TextTable::codeNamePrefix,
                               &TextTable::firmwareUpdating,
                               &TextTable::programmerRestarting,
                               &TextTable::setMaxCountTitle,
                               &TextTable::maxCountLabel,
                               &TextTable::enableSerialNumber,
                               &TextTable::serialString,
                               &TextTable::serialNumberLabel,
                               &TextTable::autoIncrementNumber,
                               &TextTable::startAddress,
                               &TextTable::endAddress,
                               &TextTable::ok,
                               &TextTable::maxCountExit,
                               &TextTable::enterInteger,
                               &TextTable::aboutOk,
                               &TextTable::selectArea,
                               &TextTable::apCode,
                               &TextTable::iapData,
                               &TextTable::addressPrefix,
                               &TextTable::insertAddressOverChipSize,
                               &TextTable::cantOpen,
                               &TextTable::fileTooLarge,
                               &TextTable::footerCheckError,
                               &TextTable::unmatchedTool,
                               &TextTable::unmatchedApVersion,
                               &TextTable::wrongCodeSizes,
                               &TextTable::notKpjFile,
                               &TextTable::mcuTypeError,
                               &TextTable::bodyError,
                               &TextTable::updateSuccess,
                               &TextTable::notFindDevice,
                               &TextTable::deviceResetError,
                               &TextTable::updateProgrammerFwFail,
                               &TextTable::resultChecksumError,
                               &TextTable::targetIsLock,
                               &TextTable::notFindResource,
                               &TextTable::updateFail,
                               &TextTable::dumpInformationOk,
                               &TextTable::dumpInformationFailed,
                               &TextTable::cantCreateOrWrite,
                               &TextTable::saveKpjFail,
                               &TextTable::unmatchedFirmware,
                               &TextTable::programmerNotAccessible,
                               &TextTable::maxValueIs65530};
    for (const TextPair* pair : pairs) {
        EXPECT_FALSE(HasCjk(Shown(*pair))) << pair->english;
        EXPECT_EQ(Shown(*pair), QString::fromUtf8(pair->english));
    }
    for (int result = 0; result <= 0xFF; ++result) {
        EXPECT_FALSE(HasCjk(Shown(core::UpdateResultText(static_cast<uint8_t>(result)))));
        EXPECT_FALSE(HasCjk(Shown(core::DumpFailureText(static_cast<uint8_t>(result)))));
    }
}

TEST_F(LanguageTest, MessageBoxesOfTheCommandsAreEnglish) {
    qputenv("KORVID_LANG", "en");
    Dialog();
    // A file that cannot be opened, a refused project, a programmer that is there
    // but may not be opened, the firmware question, a dump failure, a count too high.
    QueueLoad(dir_.filePath("missing.bin"));
    Dialog().OnLoad();
    QueueLoad(WriteFile("junk.kpj", QByteArray(300, '\x00')));
    Dialog().OnLoad();
    LoadBinary();
    programmer_.updateResults = {RC_NO_DEVICE, RC_FIRMWARE_MISMATCH};
    programmer_.notAccessible = true;
    Find<QPushButton>(1046)->click();
    prompts_.answers = {QMessageBox::No};
    Find<QPushButton>(1046)->click();
    programmer_.dumpResults = {RC_COMM_FAIL};
    Find<QPushButton>(1048)->click();
    prompts_.dialogs.push_back([](QDialog& maxCount) {
        maxCount.findChild<QLineEdit*>("id1051")->setText("70000");
        maxCount.accept();
        return int{QDialog::Rejected};
    });
    Find<QPushButton>(1047)->click();

    ASSERT_EQ(prompts_.messages.size(), 6u);
    for (const auto& message : prompts_.messages) {
        EXPECT_FALSE(HasCjk(message.text)) << message.text.toStdString();
        EXPECT_EQ(message.caption, Dialog().LibraryName());
    }
    EXPECT_TRUE(
        prompts_.messages[2].text.startsWith("Not find device !\nA programmer is attached"));
    EXPECT_EQ(prompts_.messages[3].text, "Unmatched firmware version, Do you want to update ?");
    EXPECT_EQ(prompts_.messages[5].text, "Max vaule is 65530 for \"MaxCount\"");
}

}  // namespace
}  // namespace korvid::workbench
