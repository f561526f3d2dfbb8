// MainDialog: start-up, the remembered selection, the part panel and ending.
#include "dialog_fixture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTest>

namespace korvid::workbench {
namespace {

using testing::MainDialogTest;

TEST_F(MainDialogTest, FirstStartSelectsTheFirstSeriesAndPart) {
    MainDialog& dialog = Dialog();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器 v7.10"));
    EXPECT_EQ(Items(*Find<QComboBox>(1001)),
              QStringList({"Series A", "Series B", "Series C", "Series D", "Series E", "Series F",
                           "Series G"}));
    EXPECT_EQ(Find<QComboBox>(1002)->currentText(), "Part A1");
    EXPECT_EQ(dialog.Job().partIndex, 0);
    EXPECT_EQ(dialog.PartIcpMode(), 0u);
    EXPECT_TRUE(Find<QRadioButton>(1004)->isEnabled());
    EXPECT_FALSE(Find<QRadioButton>(1005)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(1032)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(1032)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1041)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(1049)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(1046)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(1047)->isEnabled());
    EXPECT_EQ(dialog.HexEdit().GetDataSize(), 0u);
    EXPECT_EQ(Find<QPushButton>(1041)->text(), QString::fromUtf8("打开文件"));
    EXPECT_EQ(Find<QPushButton>(1041)->accessibleName(), "Load");
    EXPECT_EQ(Find<QCheckBox>(1068)->text(), QString::fromUtf8("自动重新载入数据"));
}

TEST_F(MainDialogTest, EveryControlHasAnAccessibleName) {
    for (QWidget* widget : Dialog().findChildren<QWidget*>()) {
        if (widget->objectName().startsWith("id")) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(MainDialogTest, StoredSelectionIsRestored) {
    StoreSelection("0", "15");  // read back as text, as in a fresh process
    EXPECT_EQ(Find<QComboBox>(1001)->currentText(), "Series B");
    EXPECT_EQ(Find<QComboBox>(1002)->currentText(), "Part B4");
    EXPECT_EQ(Dialog().Job().partIndex, 15);
}

TEST_F(MainDialogTest, OnlyTheLowByteOfAStoredValueCounts) {
    StoreSelection(0x100u, 0x1106u);
    EXPECT_EQ(Dialog().Job().partIndex, 6);
}

TEST_F(MainDialogTest, StoredIcpRestoresNothingNotEvenThePart) {
    StoreSelection(1u, 15u);
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    EXPECT_TRUE(Find<QRadioButton>(1004)->isChecked());
}

TEST_F(MainDialogTest, UnusableStoredValuesKeepTheDefaults) {
    StoreSelection(0u, 44u);  // not below the part count
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    dialog_.reset();
    StoreSelection("x", "15");  // not a number
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    dialog_.reset();
    SetUp();
    StoreSelection(0u, QVariant());  // no "Body"
    EXPECT_EQ(Dialog().Job().partIndex, 0);
}

TEST_F(MainDialogTest, ExitEscapeAndCloseStoreTheSelectionEnterDoesNothing) {
    Choose("Series C", "Part C2");
    Dialog().show();
    QTest::keyClick(&Dialog(), Qt::Key_Return);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_FALSE(SelectionStore(Dialog().LibraryName(), 0x0710).ReadBody().has_value());

    QTest::keyClick(&Dialog(), Qt::Key_Escape);
    EXPECT_FALSE(Dialog().isVisible());
    const SelectionStore store(Dialog().LibraryName(), 0x0710);
    EXPECT_EQ(store.ReadProgrammer(), 0u);
    EXPECT_EQ(store.ReadBody(), 11u);

    dialog_.reset();
    EXPECT_EQ(Dialog().Job().partIndex, 11);  // the next start picks it up
    Choose("Series F", "Part F2");
    Dialog().show();
    Dialog().close();
    EXPECT_EQ(store.ReadBody(), 20u);
    Choose("Series A", "Part A3");
    Find<QPushButton>(2)->click();
    EXPECT_EQ(store.ReadBody(), 2u);
}

TEST_F(MainDialogTest, SeriesBListsItsEighteenPartsInTableOrder) {
    Choose("Series B", "Part B1");
    EXPECT_EQ(
        Items(*Find<QComboBox>(1002)),
        QStringList({"Part B1", "Part B2", "Part B3", "Part B4", "Part B5", "Part B6", "Part B7",
                     "Part B8", "Part B9", "Part B10", "Part B11", "Part B12", "Part B13",
                     "Part B14", "Part B15", "Part B16", "Part B17", "Part B18"}));
}

TEST_F(MainDialogTest, PartA1LabelsFiveBoxesAndDisablesTheRest) {
    Dialog();
    const QStringList expected{
        QString::fromUtf8("仅上电重置看门狗"), QString::fromUtf8("禁用内部扩展RAM"),
        QString::fromUtf8("降低振荡增益"), QString::fromUtf8("保留 IAP-资料"),
        QString::fromUtf8("双倍速(6T模式)")};
    for (int k = 0; k < 12; ++k) {
        QCheckBox* box = Find<QCheckBox>(1010 + k);
        EXPECT_FALSE(box->isChecked());
        if (k < 5) {
            EXPECT_EQ(box->text(), expected[k]);
            EXPECT_TRUE(box->isEnabled());
        } else {
            EXPECT_TRUE(box->text().isEmpty());
            EXPECT_FALSE(box->isEnabled());
        }
    }
    EXPECT_EQ(Items(*Find<QComboBox>(1024)), QStringList({"NA"}));
    EXPECT_FALSE(Find<QComboBox>(1024)->isEnabled());
    EXPECT_EQ(Find<QComboBox>(1024)->toolTip(), "NA");
    EXPECT_FALSE(Find<QComboBox>(1050)->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(1025)->text(), "1");
    EXPECT_EQ(Find<QLineEdit>(1026)->text(), "7");
    EXPECT_FALSE(Find<QLineEdit>(1025)->isEnabled());
}

TEST_F(MainDialogTest, IapMemoryListForA3800Flash) {
    Dialog();
    QComboBox* iap = Find<QComboBox>(1050);
    ASSERT_EQ(iap->count(), 29);
    EXPECT_EQ(iap->itemText(0), "0.0 k");
    EXPECT_EQ(iap->itemText(1), "0.5 k");
    EXPECT_EQ(iap->itemText(28), "14.0 k");
    EXPECT_EQ(iap->currentIndex(), 0);
    EXPECT_EQ(iap->toolTip(), "NA");
    iap->setCurrentIndex(1);
    Dialog().OnIapMemoryChanged();
    EXPECT_EQ(iap->toolTip(), "3600h - 37FFh");
    // A new part selects the first item again, and the tip follows.
    Choose("Series B", "Part B2");
    EXPECT_EQ(iap->currentIndex(), 0);
    EXPECT_EQ(iap->toolTip(), "NA");
}

TEST_F(MainDialogTest, OptionBoxesKeepTheJobRecordInStep) {
    Dialog();
    Find<QCheckBox>(1013)->click();
    Find<QCheckBox>(1010)->click();
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b1001u);
    Find<QCheckBox>(1010)->click();
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b1000u);

    // Part B4 has "HWENW" as its fifth option but no HWWIDL/HWPS settings.
    Choose("Series B", "Part B4");
    EXPECT_EQ(Dialog().Job().optionStates[0], 0u);
    EXPECT_EQ(Dialog().HwenwOptionIndex(), 4u);
    EXPECT_EQ(Find<QCheckBox>(1014)->text(), QString::fromUtf8("上电启动看门狗"));
    Find<QCheckBox>(1014)->click();
    EXPECT_FALSE(Find<QLineEdit>(1025)->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(1026)->isEnabled());
}

TEST_F(MainDialogTest, ReselectingTheCurrentPartChangesNothing) {
    QueueLoad(WriteFile("code.bin", QByteArray(16, '\x5A')));
    Dialog().OnLoad();
    Find<QCheckBox>(1011)->click();
    Choose("Series A", "Part A1");
    EXPECT_TRUE(Find<QCheckBox>(1011)->isChecked());
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b10u);
    EXPECT_EQ(Image().size(), 16u);
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_FALSE(Dialog().ReloadPath().isEmpty());

    Choose("Series A", "Part A2");  // a real change empties everything
    EXPECT_FALSE(Find<QCheckBox>(1011)->isChecked());
    EXPECT_EQ(Image().size(), 0u);
    EXPECT_FALSE(CodeCommandsEnabled());
    EXPECT_TRUE(Dialog().ReloadPath().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(1038)->text().isEmpty());
}

TEST_F(MainDialogTest, UpdateButtonsSetToTargetAndCheckBoxesTheirFlags) {
    QueueLoad(WriteFile("code.bin", QByteArray(4, '\x01')));
    Dialog().OnLoad();
    Find<QPushButton>(1047)->click();
    EXPECT_EQ(Dialog().ToTarget(), 0u);
    Find<QPushButton>(1046)->click();
    EXPECT_EQ(Dialog().ToTarget(), 1u);
    Find<QCheckBox>(1068)->click();
    EXPECT_TRUE(Dialog().AutoReloadEnabled());
    Find<QCheckBox>(1068)->click();
    EXPECT_FALSE(Dialog().AutoReloadEnabled());
}

TEST_F(MainDialogTest, WriteProtectMakesTheHexEditorRefuseTyping) {
    QueueLoad(WriteFile("code.bin", QByteArray(4, '\x00')));
    Dialog().OnLoad();
    Dialog().show();
    CHexEditBase& hex = Dialog().HexEdit();
    hex.setFocus();
    Find<QCheckBox>(1070)->click();
    QTest::keyClick(&hex, Qt::Key_A);
    EXPECT_EQ(Image()[0], 0x00);
    Find<QCheckBox>(1070)->click();
    QTest::keyClick(&hex, Qt::Key_A);
    EXPECT_EQ(Image()[0], 0xA0);
}

TEST_F(MainDialogTest, AboutShowsTheCaptionText) {
    QString shown;
    prompts_.dialogs.push_back([&shown](QDialog& about) {
        shown = about.findChild<QLabel*>("id1053")->text();
        return int{QDialog::Accepted};
    });
    Find<QPushButton>(16)->click();
    EXPECT_EQ(shown, Dialog().windowTitle());
    EXPECT_EQ(prompts_.ranDialogs.back(), "id100");
}

}  // namespace
}  // namespace korvid::workbench
