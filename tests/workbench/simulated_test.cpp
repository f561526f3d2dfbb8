// The whole workflow from the window against the library's built-in simulated
// programmers. The library picks its programmer once, from KORVID_SIMULATE, so
// each suite runs in its own process with the variable set (see CMakeLists.txt):
// Current* with "hid" and "pipe", Outdated* with "hid-old" and "pipe-old",
// NoProgrammer* without the variable on a machine with no programmer attached.
// The simulated pauses pass at once (KORVID_SIMULATE_CLOCK=virtual).
#include "dialog_fixture.h"
#include "hex_records.h"

#include <QFileInfo>
#include <QProgressBar>

#include <algorithm>

namespace korvid::workbench {
namespace {

using core::testing::DataRecord;
using core::testing::kEndOfFile;
using testing::MainDialogTest;

const QString kUpdateSuccess = QString::fromUtf8("更新成功 !");
const QString kNotFound = QString::fromUtf8("找不到装置 !");

class SimulatedProgrammerTest : public MainDialogTest {
protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        useLibrary_ = true;
    }
    void LoadHex() {
        std::vector<uint8_t> code(0x80);
        for (std::size_t i = 0; i < code.size(); ++i) {
            code[i] = static_cast<uint8_t>(i * 3);
        }
        QueueLoad(WriteFile(
            "blink.hex",
            QByteArray::fromStdString(DataRecord(0, code) + DataRecord(0x80, code) + kEndOfFile)));
        Dialog().OnLoad();
        ASSERT_TRUE(CodeCommandsEnabled());
    }
    void Click(int id) { Find<QPushButton>(id)->click(); }
    QString LastText() {
        return prompts_.messages.empty() ? QString() : prompts_.messages.back().text;
    }
};

using CurrentProgrammer = SimulatedProgrammerTest;
using OutdatedProgrammer = SimulatedProgrammerTest;
using NoProgrammer = SimulatedProgrammerTest;

TEST_F(CurrentProgrammer, ProgramsDownloadsDumpsAndSaves) {
    LoadHex();
    Click(1046);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(LastText(), kUpdateSuccess);
    EXPECT_EQ(prompts_.messages.back().icon, QMessageBox::NoIcon);

    prompts_.dialogs.push_back([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("id1051")->setText("500");
        dialog.findChild<QCheckBox*>("id1055")->click();
        dialog.findChild<QCheckBox*>("id1058")->click();
        dialog.findChild<QLineEdit*>("id1057")->setText("KORVID");
        dialog.findChild<QLineEdit*>("id1064")->setText("00000001");
        dialog.findChild<QLineEdit*>("id1065")->setText("00001000");
        dialog.accept();
        return dialog.result();
    });
    Click(1047);
    EXPECT_EQ(LastText(), kUpdateSuccess);
    EXPECT_EQ(Dialog().Job().maxCount, 500);
    EXPECT_EQ(Dialog().Job().serialAddress, 0x1000u + 12);  // the library moves it on

    Click(1048);
    EXPECT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(Image().size(), 256u);
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), QString::fromUtf8("读取信息完成 !"));

    const QString path = dir_.filePath("dump.kpj");
    prompts_.saveFiles = {path};
    Click(1049);
    EXPECT_EQ(prompts_.messages.size(), 2u);
    EXPECT_GT(QFileInfo(path).size(), 256);
    prompts_.saveFiles = {dir_.filePath("missing/dump.kpj")};
    Click(1049);
    EXPECT_TRUE(LastText().startsWith(QString::fromUtf8("无法建立或写入 \"")));
}

// The bar counts the firmware bytes the library reports up to the whole image.
TEST_F(OutdatedProgrammer, IsReflashedBehindTheProgressDialogAndThenProgrammed) {
    LoadHex();
    prompts_.answers = {QMessageBox::Yes};
    std::vector<int> values;
    int maximum = 0;
    prompts_.dialogs.push_back([&](QDialog& progress) {
        auto* bar = progress.findChild<QProgressBar*>("reflashProgress");
        EXPECT_NE(bar, nullptr);
        QObject::connect(bar, &QProgressBar::valueChanged,
                         [&](int value) { values.push_back(value); });
        const int result = progress.exec();
        maximum = bar->maximum();
        return result;
    });
    Click(1046);
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(prompts_.messages[0].text, QString::fromUtf8("固件版本不合，更新程序 ?"));
    EXPECT_EQ(prompts_.ranDialogs.back(), "id132");
    // From 0 up to the whole image, a step per data report (HID) or transfer (pipe).
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_TRUE(std::adjacent_find(values.begin(), values.end(), std::greater_equal<>()) ==
                values.end());
    EXPECT_GT(maximum, 0);
    EXPECT_EQ(values.back(), maximum);
    EXPECT_EQ(LastText(), kUpdateSuccess);
    Click(1046);  // up to date now: no question
    EXPECT_EQ(prompts_.messages.size(), 3u);
    EXPECT_EQ(LastText(), kUpdateSuccess);
}

TEST_F(NoProgrammer, EveryProgrammerCommandSaysNotFound) {
    LoadHex();
    Click(1046);
    EXPECT_EQ(LastText().split('\n').front(), kNotFound);
    EXPECT_EQ(prompts_.messages.back().icon, QMessageBox::Critical);
    prompts_.dialogs.push_back([](QDialog& dialog) {
        dialog.accept();
        return dialog.result();
    });
    Click(1047);
    EXPECT_EQ(LastText().split('\n').front(), kNotFound);
    Click(1048);
    EXPECT_EQ(LastText().split('\n').front(), kNotFound);
    EXPECT_EQ(prompts_.messages.size(), 3u);
}

}  // namespace
}  // namespace korvid::workbench
