// AreaDialog, the hex-digit filter and edit, ReadHexField/WriteHexField, texts.
#include "AreaDialog.h"
#include "DisplayText.h"
#include "HexDigitFilter.h"
#include "fake_prompts.h"
#include "key_presses.h"
#include "korvid.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <map>
#include <set>

namespace korvid::workbench {
namespace {

using testing::PressDelete;

class FieldsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
};

struct AreaParts {
    QRadioButton* code;
    QRadioButton* data;
    QLineEdit* address;
};

AreaParts PartsOf(AreaDialog& dialog) {
    return {dialog.findChild<QRadioButton*>("id1042"), dialog.findChild<QRadioButton*>("id1043"),
            dialog.findChild<QLineEdit*>("id1044")};
}

TEST_F(FieldsTest, AreaDialogStartsOnTheCodeAreaWithTheDefaultAddress) {
    uint32_t insertAddress = 0x1000;
    AreaDialog dialog(insertAddress);
    const AreaParts parts = PartsOf(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("选择AP/IAP区域"));
    EXPECT_EQ(parts.code->text(), QString::fromUtf8("AP(程序)"));
    EXPECT_EQ(parts.data->text(), QString::fromUtf8("IAP(数据)"));
    EXPECT_TRUE(parts.code->isChecked());
    EXPECT_FALSE(parts.address->isEnabled());
    EXPECT_EQ(parts.address->text(), "1000");
    parts.data->click();
    EXPECT_TRUE(parts.address->isEnabled());
    parts.code->click();
    EXPECT_FALSE(parts.address->isEnabled());
}

TEST_F(FieldsTest, AreaDialogOkWithTheCodeAreaIgnoresTheField) {
    uint32_t insertAddress = 0x1000;
    AreaDialog dialog(insertAddress);
    const AreaParts parts = PartsOf(dialog);
    parts.data->click();
    parts.address->setText("2345");
    parts.code->click();
    dialog.accept();
    EXPECT_EQ(insertAddress, 0u);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FieldsTest, AreaDialogOkWithTheDataArea) {
    uint32_t insertAddress = 0x1000;
    {
        AreaDialog dialog(insertAddress);
        PartsOf(dialog).data->click();
        dialog.accept();
        EXPECT_EQ(insertAddress, 0x1000u);  // the default shown
    }
    {
        AreaDialog dialog(insertAddress);
        const AreaParts parts = PartsOf(dialog);
        parts.data->click();
        parts.address->clear();
        QTest::keyClicks(parts.address, "1g2a-f");
        EXPECT_EQ(parts.address->text(), "12AF");
        dialog.accept();
        EXPECT_EQ(insertAddress, 0x12AFu);
    }
    {
        AreaDialog dialog(insertAddress);
        const AreaParts parts = PartsOf(dialog);
        parts.data->click();
        parts.address->setText("   ");  // no number: the address stays
        dialog.accept();
        EXPECT_EQ(insertAddress, 0x12AFu);
    }
    {
        AreaDialog dialog(insertAddress);
        const AreaParts parts = PartsOf(dialog);
        parts.data->click();
        parts.address->setText("123456789");  // too many digits: never a small address
        dialog.accept();
        EXPECT_EQ(insertAddress, 0xFFFFFFFFu);
    }
}

TEST_F(FieldsTest, AreaDialogCancelLeavesTheAddress) {
    uint32_t insertAddress = 0x0800;
    AreaDialog dialog(insertAddress);
    const AreaParts parts = PartsOf(dialog);
    parts.data->click();
    parts.address->setText("10");
    dialog.reject();
    EXPECT_EQ(insertAddress, 0x0800u);
}

TEST_F(FieldsTest, AddressFieldEditsWithDeleteAndTheOtherEditingKeys) {
    uint32_t insertAddress = 0x12345;
    AreaDialog dialog(insertAddress);
    const AreaParts parts = PartsOf(dialog);
    parts.data->click();
    QLineEdit* field = parts.address;
    QTest::keyClick(field, Qt::Key_Home);
    PressDelete(field);
    EXPECT_EQ(field->text(), "2345");
    QTest::keyClick(field, Qt::Key_Right);
    PressDelete(field);
    EXPECT_EQ(field->text(), "245");
    QTest::keyClick(field, Qt::Key_End, Qt::ShiftModifier);  // selects "45"
    PressDelete(field, Qt::ShiftModifier);                   // cuts it
    EXPECT_EQ(field->text(), "2");
    EXPECT_EQ(QApplication::clipboard()->text(), "45");
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);  // pastes it
    EXPECT_EQ(field->text(), "452");
    QTest::keyClick(field, Qt::Key_Backspace);  // the cursor stands after the paste
    EXPECT_EQ(field->text(), "42");
    QTest::keyClick(field, Qt::Key_End);
    PressDelete(field);  // nothing after the cursor
    EXPECT_EQ(field->text(), "42");
    QTest::keyClicks(field, "x1");  // characters are still filtered
    EXPECT_EQ(field->text(), "421");
    dialog.accept();
    EXPECT_EQ(insertAddress, 0x421u);
}

TEST_F(FieldsTest, HexDigitFilterDropsEveryOtherCharacter) {
    QLineEdit field;
    field.installEventFilter(new HexDigitFilter(&field));
    QTest::keyClicks(&field, "0x9 AfG;z");
    EXPECT_EQ(field.text(), "09Af");
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "09A");
    QTest::keyClick(&field, Qt::Key_Left);  // no character: reaches the field
    QTest::keyClick(&field, 'b');
    EXPECT_EQ(field.text(), "09bA");

    HexDigitFilter plain;
    HexDigitFilter withFormFeed(nullptr, true);
    EXPECT_FALSE(plain.Passes(QChar(12)));
    EXPECT_TRUE(withFormFeed.Passes(QChar(12)));
    EXPECT_TRUE(plain.Passes(QChar(8)));
    EXPECT_FALSE(plain.Passes(QChar('\t')));
}

TEST_F(FieldsTest, HexDigitEditAcceptsOnlyHexDigits) {
    HexDigitEdit edit;
    QTest::keyClicks(&edit, "F7+F0 ");
    EXPECT_EQ(edit.text(), "F7F0");
    EXPECT_EQ(ReadHexField(edit), 0xF7F0u);
}

TEST_F(FieldsTest, ReadAndWriteHexFields) {
    QLineEdit field;
    EXPECT_EQ(ReadHexField(field), 0u);
    WriteHexField(field, 0x1F, 8);
    EXPECT_EQ(field.text(), "0000001F");
    WriteHexField(field, 0xABC, 0);
    EXPECT_EQ(field.text(), "ABC");
    field.setText(" 2f zz");
    EXPECT_EQ(ReadHexField(field), 0x2Fu);
    field.setText("zz");
    EXPECT_EQ(ReadHexField(field), 0u);
}

TEST_F(FieldsTest, LibraryStringsDecodeFromCp936) {
    char name[KORVID_DISPLAY_NAME_SIZE];
    uint16_t version = 0;
    ASSERT_EQ(GetAPInfo(name, &version), 28u);
    EXPECT_EQ(DecodeCp936(name, sizeof name), QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器"));
    EXPECT_EQ(FormatCaption(DecodeCp936(name, sizeof name), version),
              QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器 v7.10"));

    const std::map<std::string, QString> expected{
        {"FZWDTCR", QString::fromUtf8("仅上电重置看门狗")},
        {"AUX_RAM", QString::fromUtf8("禁用内部扩展RAM")},
        {"OSCDN", QString::fromUtf8("降低振荡增益")},
        {"KEEP IAP-DATA", QString::fromUtf8("保留 IAP-资料")},
        {"EN6T", QString::fromUtf8("双倍速(6T模式)")},
        {"ENLVRC", QString::fromUtf8("Vdd小于2.5V复位")},
        {"ENLVRO", QString::fromUtf8("Vdd小于3.7V复位")},
        {"ENROSC", QString::fromUtf8("使用内部振荡(6MHz)")},
        {"HWENW", QString::fromUtf8("上电启动看门狗")}};
    PartInfo* parts = nullptr;
    const uint32_t count = GetISPInfo(&parts);
    ASSERT_EQ(count, 44u);
    std::set<std::string> seen;
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t k = 0; k < parts[i].optionCount; ++k) {
            const std::string option = parts[i].options[k].name;
            ASSERT_TRUE(expected.count(option)) << option;
            EXPECT_EQ(DecodeCp936(parts[i].options[k].description), expected.at(option)) << option;
            seen.insert(option);
        }
    }
    EXPECT_EQ(seen.size(), expected.size());
}

TEST_F(FieldsTest, DecodingAFixedBufferStopsAtItsEnd) {
    const char bytes[4] = {'A', 'B', 'C', 'D'};  // no NUL inside
    EXPECT_EQ(DecodeCp936(bytes, sizeof bytes), "ABCD");
    EXPECT_EQ(DecodeCp936("\xB1\xE0\xB3\xCC\xC6\xF7"), QString::fromUtf8("编程器"));
    EXPECT_EQ(DecodeCp936(nullptr), QString());
}

TEST_F(FieldsTest, CaptionVersions) {
    EXPECT_EQ(FormatCaption("Name", 0x0710), "Name v7.10");
    EXPECT_EQ(FormatCaption("Name", 0x0705), "Name v7.05");
    EXPECT_EQ(FormatCaption("Name", 0x0A00), "Name vA.00");
}

}  // namespace
}  // namespace korvid::workbench
