// The Qt main dialog as a view of the workbench model: the controls show the
// model's state, the user's events reach the model, the keyboard works as in any
// dialog, the choices are remembered, and the texts fit in both languages.
#include "window_fixture.h"

#include <QAction>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>

namespace korvid::qt {
namespace {

using testing::MainWindowTest;

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items << list.itemText(i);
    }
    return items;
}

// Chooses an item of a list as the user does: the list reports it activated.
void Activate(QComboBox* list, const QString& item) {
    list->setCurrentIndex(list->findText(item));
    emit list->activated(list->currentIndex());
}

TEST_F(MainWindowTest, ControlsShowTheModelsState) {
    MainDialogWindow& window = Window();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器 v7.10"));
    EXPECT_EQ(Items(*Find<QComboBox>(1001)).size(), 7);
    EXPECT_EQ(Find<QComboBox>(1002)->currentText(), "Part A1");
    EXPECT_TRUE(Find<QRadioButton>(1004)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(1005)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(1032)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(1032)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1041)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(1049)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(1046)->isEnabled());
    EXPECT_EQ(Find<QPushButton>(1041)->text(), QString::fromUtf8("打开文件"));
    EXPECT_EQ(Find<QCheckBox>(1010)->text(), QString::fromUtf8("仅上电重置看门狗"));
    EXPECT_TRUE(Find<QCheckBox>(1010)->isVisibleTo(&window));
    EXPECT_FALSE(Find<QCheckBox>(1015)->isVisibleTo(&window));
    EXPECT_EQ(Find<QComboBox>(1050)->count(), 29);
    EXPECT_EQ(Find<QLineEdit>(1025)->text(), "1");
    EXPECT_FALSE(Find<QLineEdit>(1025)->isEnabled());
}

TEST_F(MainWindowTest, EveryControlHasAnAccessibleName) {
    for (QWidget* widget : Window().findChildren<QWidget*>()) {
        if (widget->objectName().startsWith("id")) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
    EXPECT_EQ(Find<QPushButton>(1041)->accessibleName(), "Load");
    EXPECT_EQ(Find<QCheckBox>(1013)->accessibleName(), "KEEP IAP-DATA");
    EXPECT_EQ(Find<QCheckBox>(1020)->accessibleName(), "Option 10");
}

TEST_F(MainWindowTest, EventsReachTheModel) {
    Activate(Find<QComboBox>(1001), "Series B");
    Activate(Find<QComboBox>(1002), "Part B4");
    EXPECT_EQ(Window().Model().Job().partIndex, 15);
    Find<QCheckBox>(1014)->click();
    EXPECT_EQ(Window().Model().Job().optionStates[0], 1u << 4);
    Find<QCheckBox>(1068)->click();
    EXPECT_TRUE(Window().Model().State().autoReload);

    QueueLoad(WriteFile("code.bin", QByteArray(4, '\x5A')));
    Find<QPushButton>(1041)->click();
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), dir_.filePath("code.bin"));
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x4"));
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), QString::fromUtf8("校验和:0x0168"));
    EXPECT_TRUE(Find<QPushButton>(1046)->isEnabled());

    // Typed into the hex editor, with write protection on and then off.
    Window().show();
    CHexEditBase& hex = Window().HexEdit();
    hex.setFocus();
    Find<QCheckBox>(1070)->click();
    QTest::keyClick(&hex, Qt::Key_1);
    EXPECT_EQ(Image()[0], 0x5A);
    Find<QCheckBox>(1070)->click();
    QTest::keyClick(&hex, Qt::Key_1);
    EXPECT_EQ(Image()[0], 0x1A);
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), dir_.filePath("code.bin") + " *");
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), QString::fromUtf8("校验和:0x0128"));

    QTest::keyClicks(Find<QLineEdit>(1026), "3");  // disabled: Part B4 has no HW settings
    Find<QPushButton>(1046)->click();
    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    EXPECT_EQ(programmer_.calls[0].code, (std::vector<uint8_t>{0x1A, 0x5A, 0x5A, 0x5A}));
    EXPECT_EQ(programmer_.calls[0].job.hwOptions & 0xE, 7u << 1);
    EXPECT_EQ(prompts_.messages.back().text, QString::fromUtf8("更新成功 !"));
    EXPECT_EQ(prompts_.messages.back().icon, QMessageBox::NoIcon);
}

// Enter presses the button that has the focus, as in any dialog; elsewhere it
// does nothing. Escape, the close box and "Exit" end the dialog and store the
// selection, which the next start restores.
TEST_F(MainWindowTest, KeyboardEndsAndRemembers) {
    Activate(Find<QComboBox>(1001), "Series C");
    Activate(Find<QComboBox>(1002), "Part C2");
    Window().show();
    Find<QComboBox>(1002)->setFocus();
    QTest::keyClick(Find<QComboBox>(1002), Qt::Key_Return);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_TRUE(prompts_.ranDialogs.empty());
    prompts_.dialogs.push_back([](QDialog&) { return int{QDialog::Rejected}; });
    Find<QPushButton>(1041)->setFocus();
    QTest::keyClick(Find<QPushButton>(1041), Qt::Key_Return);
    EXPECT_EQ(prompts_.ranDialogs, std::vector<QString>{"id129"});
    EXPECT_FALSE(settings_->ReadBody().has_value());

    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(settings_->ReadProgrammer(), 0u);
    EXPECT_EQ(settings_->ReadBody(), 11u);

    window_.reset();
    EXPECT_EQ(Find<QComboBox>(1002)->currentText(), "Part C2");
    Activate(Find<QComboBox>(1001), "Series F");
    Activate(Find<QComboBox>(1002), "Part F2");
    Window().show();
    Window().close();
    EXPECT_EQ(settings_->ReadBody(), 20u);
    Activate(Find<QComboBox>(1001), "Series A");
    Activate(Find<QComboBox>(1002), "Part A3");
    Find<QPushButton>(2)->click();
    EXPECT_EQ(settings_->ReadBody(), 2u);
}

TEST_F(MainWindowTest, LanguageMenuSwitchesEveryTextAndIsRemembered) {
    auto* english = Window().findChild<QAction*>("languageEnglish");
    auto* chinese = Window().findChild<QAction*>("languageChinese");
    ASSERT_TRUE(english != nullptr && chinese != nullptr);
    EXPECT_TRUE(chinese->isChecked());
    EXPECT_EQ(chinese->text(), QString::fromUtf8("中文"));
    english->trigger();
    EXPECT_TRUE(english->isChecked());
    EXPECT_EQ(Find<QPushButton>(1041)->text(), "Load");
    EXPECT_EQ(Find<QGroupBox>(1000)->title(), "MCU Part No.");
    EXPECT_EQ(Find<QCheckBox>(1010)->text(), "FZWDTCR");
    EXPECT_EQ(Find<QCheckBox>(1010)->toolTip(), QString::fromUtf8("仅上电重置看门狗"));
    EXPECT_EQ(settings_->ReadLanguage(), "en");

    window_.reset();
    EXPECT_EQ(Find<QPushButton>(1041)->text(), "Load");
    window_.reset();
    Window("zh");  // KORVID_LANG overrides the remembered choice
    EXPECT_EQ(Find<QPushButton>(1041)->text(), QString::fromUtf8("打开文件"));
}

// Qt's own texts, such as the message boxes' standard buttons, follow the
// display language.
TEST_F(MainWindowTest, MessageBoxButtonsSpeakTheDisplayLanguage) {
    const auto okText = [] {
        QMessageBox box(QMessageBox::Critical, "caption", "text", QMessageBox::Ok | QMessageBox::Cancel);
        return std::pair(box.button(QMessageBox::Ok)->text(),
                         box.button(QMessageBox::Cancel)->text());
    };
    Window();
    EXPECT_EQ(okText(), std::pair(QString::fromUtf8("确定"), QString::fromUtf8("取消")));
    Window().findChild<QAction*>("languageEnglish")->trigger();
    EXPECT_EQ(okText(), std::pair(QString("OK"), QString("Cancel")));
}

// The status fields show their whole text in either language: the field is
// wide enough and shows the text from its first letter.
TEST_F(MainWindowTest, StatusFieldsShowTheirWholeText) {
    for (const char* language : {"en", "zh"}) {
        SCOPED_TRACE(language);
        window_.reset();
        Window(language).show();
        QueueLoad(WriteFile("code.bin", QByteArray(0xFFFF, '\xFF')));
        Find<QPushButton>(1041)->click();
        QApplication::processEvents();
        for (const int id : {1039, 1040}) {
            QLineEdit* field = Find<QLineEdit>(id);
            EXPECT_EQ(field->cursorPosition(), 0) << id;
            // Where QLineEdit draws its text: its contents less 2 px either side.
            QStyleOptionFrame option;
            option.initFrom(field);
            option.lineWidth =
                field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
            const QRect contents =
                field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
            EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), contents.width() - 4)
                << id << " " << field->text().toStdString();
        }
    }
}

// The real file dialog, as "Load" runs it: what its filter list shows and which
// files the first filter lists, then a file typed by name.
TEST_F(MainWindowTest, OpenDialogShowsEachPatternOnceAndMatchesIntelHexInAnyCase) {
    for (const char* name : {"a.hex", "B.IHX", "c.Bin", "d.txt", "e.kpj", "f.ihex"}) {
        WriteFile(name, "x");
    }
    QStringList shownFilters;
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto close = qScopeGuard([dialog] { dialog->reject(); });  // after a failure
        const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* model = dialog->findChild<QFileSystemModel*>();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(types != nullptr && model != nullptr && name != nullptr);
        shownFilters = Items(*types);

        // The folder is listed in the background, maybe after the one the dialog
        // opened in; the time limit only keeps a broken listing from hanging.
        QEventLoop listing;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &listing,
                         [&](const QString& folder) {
                             if (folder == dir_.path()) {
                                 listing.quit();
                             }
                         });
        QTimer::singleShot(30000, &listing, &QEventLoop::quit);
        dialog->setDirectory(dir_.path());
        listing.exec();
        const QModelIndex folder = model->index(dir_.path());
        for (int row = 0; row < model->rowCount(folder); ++row) {
            listed << model->index(row, 0, folder).data().toString();
        }
        name->setText("B.IHX");
        close.dismiss();
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own checks run
    });
    QtUserPrompts realPrompts;
    workbench::Catalogue catalogue = workbench::LibraryCatalogue();
    QtSettingsStore settings(catalogue.libraryName, catalogue.version);
    MainDialogWindow window(realPrompts, programmer_, settings, std::move(catalogue), std::nullopt);
    const std::vector<workbench::FileFilter> filters{
        {"Intel Hex/Binary", {"*.hex", "*.ihx", "*.bin"}},
        {"Vostrel project file", {"*.kpj"}},
        {"All files", {"*"}}};
    EXPECT_EQ(window.ChooseFileToOpen(filters), dir_.filePath("B.IHX").toStdString());
    EXPECT_EQ(shownFilters, (QStringList{"Intel Hex/Binary (*.hex *.ihx *.bin)",
                                         "Vostrel project file (*.kpj)", "All files (*)"}));
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, (QStringList{"a.hex", "B.IHX", "c.Bin"}));
}

TEST_F(MainWindowTest, AboutShowsTheCaptionText) {
    QString shown;
    QString ok;
    prompts_.dialogs.push_back([&](QDialog& about) {
        shown = about.findChild<QLabel*>("id1053")->text();
        ok = about.findChild<QPushButton*>("id1")->text();
        return int{QDialog::Accepted};
    });
    Find<QPushButton>(16)->click();
    EXPECT_EQ(shown, Window().windowTitle());
    EXPECT_EQ(ok, QString::fromUtf8("確定"));
    EXPECT_EQ(prompts_.ranDialogs.back(), "id100");
}

}  // namespace
}  // namespace korvid::qt
