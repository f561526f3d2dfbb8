// MainDialog's programming commands against a fake programmer: which library
// function runs with what, the firmware-mismatch dialogue, the messages and the
// button states.
#include "dialog_fixture.h"
#include "hex_records.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace korvid::workbench {
namespace {

using core::testing::kEndOfFile;
using testing::FakePrompts;
using testing::MainDialogTest;

const QString kLibraryName = QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器");
const QString kQuestion = QString::fromUtf8("固件版本不合，更新程序 ?");

class CommandTest : public MainDialogTest {
protected:
    void LoadCode(const QByteArray& bytes = QByteArray(0x100, '\x5A')) {
        QueueLoad(WriteFile("code.bin", bytes));
        Dialog().OnLoad();
        ASSERT_TRUE(CodeCommandsEnabled());
    }
    void Click(int id) { Find<QPushButton>(id)->click(); }
    bool UpdateButtonsEnabled() {
        return Find<QPushButton>(1046)->isEnabled() && Find<QPushButton>(1047)->isEnabled();
    }
    bool UpdateButtonsDisabled() {
        return !Find<QPushButton>(1046)->isEnabled() && !Find<QPushButton>(1047)->isEnabled();
    }
    const FakePrompts::ShownMessage& LastMessage() {
        EXPECT_FALSE(prompts_.messages.empty());
        return prompts_.messages.back();
    }
    // The Max Count dialog of "Update Programmer", answered by answer.
    void QueueMaxCount(std::function<int(QDialog&)> answer) {
        prompts_.dialogs.push_back(std::move(answer));
    }
    int ProgressDialogsRun() {
        return static_cast<int>(
            std::count(prompts_.ranDialogs.begin(), prompts_.ranDialogs.end(), "id132"));
    }
};

TEST_F(CommandTest, CommandsWaitForALoadAndAnEmptyHexImageIsProgrammedWithLengthZero) {
    EXPECT_TRUE(UpdateButtonsDisabled());
    EXPECT_FALSE(Find<QPushButton>(1049)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());

    QueueLoad(WriteFile("empty.hex", QByteArray::fromStdString(kEndOfFile)));
    Dialog().OnLoad();
    ASSERT_TRUE(CodeCommandsEnabled());
    Click(1046);

    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    const auto& call = programmer_.calls[0];
    EXPECT_EQ(call.job.codeLength, 0u);
    EXPECT_EQ(call.toTarget, 1u);
    EXPECT_EQ(call.icpMode, 0u);
    EXPECT_EQ(call.job.maxCount, 0xFFFF);
    EXPECT_EQ(call.job.serialFlags, 0u);
    EXPECT_EQ(call.job.serialAddress, 0u);
    EXPECT_EQ(call.job.serialNumber, 0u);
    EXPECT_EQ(std::count(call.job.serialText, call.job.serialText + 12, '\0'), 12);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新成功 !"));
    EXPECT_EQ(LastMessage().icon, QMessageBox::NoIcon);
    EXPECT_EQ(LastMessage().caption, kLibraryName);
    EXPECT_TRUE(UpdateButtonsEnabled());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
}

TEST_F(CommandTest, UpdateTargetHandsOverTheControlsAndACopyOfTheImage) {
    Choose("Series B", "Part B4");
    LoadCode(QByteArray("\x01\x02\x03", 3));
    Find<QLineEdit>(1025)->setText("1");
    Find<QLineEdit>(1026)->setText("7");
    Click(1046);
    ASSERT_EQ(programmer_.calls.size(), 1u);
    const auto& job = programmer_.calls[0].job;
    EXPECT_EQ(programmer_.calls[0].code, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(job.codeLength, 3u);
    EXPECT_EQ(job.programArea, uint32_t{AREA_AP});  // the ISP parts offer no other
    EXPECT_EQ(job.hwOptions & 0xF, 0xFu);
    EXPECT_EQ(job.ispMemoryIndex, static_cast<uint32_t>(Find<QComboBox>(1024)->currentIndex()));
    EXPECT_EQ(job.iapMemoryIndex, static_cast<uint32_t>(Find<QComboBox>(1050)->currentIndex()));

    Find<QLineEdit>(1025)->setText("2");  // AND 1
    Find<QLineEdit>(1026)->setText("9");  // AND 7
    Click(1046);
    EXPECT_EQ(programmer_.calls[1].job.hwOptions & 0xF, 1u << 1);
    Find<QLineEdit>(1025)->setText("x1");
    Find<QLineEdit>(1026)->setText(" 3");
    Click(1046);
    EXPECT_EQ(programmer_.calls[2].job.hwOptions & 0xF, 3u << 1);
}

TEST_F(CommandTest, UpdateProgrammerTakesTheMaxCountDialogsSettings) {
    Choose("Series B", "Part B4");  // flash 0xF800
    LoadCode();
    QueueMaxCount([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("id1051")->setText("1200");
        dialog.findChild<QCheckBox*>("id1055")->click();
        dialog.findChild<QCheckBox*>("id1058")->click();
        dialog.findChild<QLineEdit*>("id1057")->setText("SN-");
        dialog.findChild<QLineEdit*>("id1064")->setText("00000100");
        dialog.findChild<QLineEdit*>("id1065")->setText("00001000");
        dialog.accept();
        return dialog.result();
    });
    Click(1047);
    EXPECT_EQ(prompts_.ranDialogs.back(), "id130");
    ASSERT_EQ(programmer_.calls.size(), 1u);
    const auto& call = programmer_.calls[0];
    EXPECT_EQ(call.toTarget, 0u);
    EXPECT_EQ(call.job.maxCount, 1200);
    EXPECT_EQ(Dialog().SharedMaxCount(), 1200);
    EXPECT_EQ(call.job.serialFlags, 3u);
    EXPECT_EQ(std::string(call.job.serialText, 12), "SN-         ");
    EXPECT_EQ(call.job.serialNumber, 0x100u);
    EXPECT_EQ(call.job.serialAddress, 0x1000u);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新成功 !"));

    // "Update Target" afterwards clears what the download used.
    Click(1046);
    EXPECT_EQ(programmer_.calls[1].job.maxCount, 0xFFFF);
    EXPECT_EQ(programmer_.calls[1].job.serialFlags, 0u);
}

TEST_F(CommandTest, CancelledMaxCountDialogCallsNoLibraryFunction) {
    LoadCode();
    QueueMaxCount([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>("id1055")->click();
        dialog.reject();
        return dialog.result();
    });
    Click(1047);
    EXPECT_TRUE(programmer_.calls.empty());
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(UpdateButtonsEnabled());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
    EXPECT_EQ(Dialog().Job().serialFlags & 1, 1u);  // the box acted at once
    Click(1046);
    EXPECT_EQ(programmer_.calls[0].job.serialFlags, 0u);
}

TEST_F(CommandTest, DecliningTheReflashEndsSilentlyWithTheButtonsBack) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    prompts_.answers = {QMessageBox::No};
    Click(1046);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, kQuestion);
    EXPECT_EQ(LastMessage().icon, QMessageBox::Question);
    EXPECT_EQ(LastMessage().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(LastMessage().caption, kLibraryName);
    EXPECT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    EXPECT_TRUE(UpdateButtonsEnabled());

    programmer_.dumpResults = {RC_FIRMWARE_MISMATCH};
    prompts_.answers = {QMessageBox::No};
    const std::vector<uint8_t> before = Image();
    Click(1048);
    EXPECT_EQ(prompts_.messages.size(), 2u);
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());
    EXPECT_EQ(Image(), before);
}

TEST_F(CommandTest, EachMismatchAfterASuccessfulReflashAsksAgain) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH, RC_FIRMWARE_MISMATCH, RC_OK};
    prompts_.answers = {QMessageBox::Yes, QMessageBox::Yes};
    Click(1046);
    EXPECT_EQ(
        programmer_.Functions(),
        (std::vector<std::string>{"UpdateMCU", "UpdateFW", "UpdateMCU", "UpdateFW", "UpdateMCU"}));
    ASSERT_EQ(prompts_.messages.size(), 3u);
    EXPECT_EQ(prompts_.messages[0].text, kQuestion);
    EXPECT_EQ(prompts_.messages[1].text, kQuestion);
    EXPECT_EQ(prompts_.messages[2].text, QString::fromUtf8("更新成功 !"));
    EXPECT_EQ(ProgressDialogsRun(), 2);
    // The retry programs the same job.
    EXPECT_EQ(programmer_.calls[4].code, programmer_.calls[0].code);
}

TEST_F(CommandTest, FailedReflashIsReportedByBothCommands) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    programmer_.firmwareResults = {RC_FIRMWARE_FAIL, RC_FIRMWARE_FAIL};
    prompts_.answers = {QMessageBox::Yes};
    Click(1046);
    EXPECT_EQ(programmer_.Functions(), (std::vector<std::string>{"UpdateMCU", "UpdateFW"}));
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新程序失败!"));
    EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);

    programmer_.dumpResults = {RC_FIRMWARE_MISMATCH};
    prompts_.answers = {QMessageBox::Yes};
    Click(1048);
    EXPECT_EQ(programmer_.Functions().back(), "UpdateFW");
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新程序失败!"));
    EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());
}

TEST_F(CommandTest, DumpReplacesTheImageAndIsNoCodeToProgram) {
    LoadCode();
    for (int i = 0; i < 256; ++i) {
        programmer_.dumpBytes[i] = static_cast<uint8_t>(255 - i);
    }
    Click(1048);
    EXPECT_EQ(programmer_.Functions(), std::vector<std::string>{"DumpMCUInfo"});
    EXPECT_EQ(Image(), programmer_.dumpBytes);
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), QString::fromUtf8("读取信息完成 !"));
    EXPECT_TRUE(Find<QLineEdit>(1039)->text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(1040)->text().isEmpty());
    EXPECT_TRUE(UpdateButtonsDisabled());
    EXPECT_TRUE(Find<QPushButton>(1049)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(1048)->isEnabled());
    EXPECT_TRUE(prompts_.messages.empty());

    // A failed dump leaves the image alone.
    programmer_.dumpResults = {RC_REFUSED};
    programmer_.dumpBytes.assign(256, 0);
    Click(1048);
    EXPECT_EQ(Image().front(), 255);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("读取信息失败 !"));
    EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);
}

TEST_F(CommandTest, EveryResultCodeShowsItsMessage) {
    struct Case {
        uint8_t result;
        const char* update;
        const char* dump;
    };
    const Case cases[] = {
        {RC_NO_DEVICE, "找不到装置 !", "找不到装置 !"},
        {RC_RESET_ERROR, "装置复位错误!更新程序失败!", "装置复位错误!更新程序失败!"},
        {RC_FIRMWARE_FAIL, "更新程序失败!", "更新程序失败!"},
        {RC_CHECKSUM, "校验和错误! 更新程序失败!", "读取信息失败 !"},
        {RC_TARGET_LOCKED, "目标芯片已锁! 更新程序失败!", "读取信息失败 !"},
        {RC_NO_RESOURCE, "找不到资源档 !", "找不到资源档 !"},
        {RC_REFUSED, "更新失败", "读取信息失败 !"},
        {RC_COMM_FAIL, "更新失败", "读取信息失败 !"},
        {RC_FILE_OPEN, "更新失败", "读取信息失败 !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        dialog_.reset();
        prompts_.messages.clear();
        LoadCode();
        programmer_.updateResults = {c.result};
        Click(1046);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(LastMessage().text, QString::fromUtf8(c.update));
        EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);
        EXPECT_EQ(LastMessage().caption, kLibraryName);
        programmer_.dumpResults = {c.result};
        Click(1048);
        ASSERT_EQ(prompts_.messages.size(), 2u);
        EXPECT_EQ(LastMessage().text, QString::fromUtf8(c.dump));
        EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);
    }
}

TEST_F(CommandTest, AProgrammerThatMayNotBeOpenedIsNamedWithItsRulesFile) {
    LoadCode();
    programmer_.notAccessible = true;
    programmer_.updateResults = {RC_NO_DEVICE};
    programmer_.dumpResults = {RC_NO_DEVICE, RC_COMM_FAIL};
    Click(1046);
    const QStringList lines = LastMessage().text.split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("找不到装置 !"));
    EXPECT_TRUE(lines[1].contains("60-korvid.rules"));
    Click(1048);
    EXPECT_TRUE(LastMessage().text.contains("60-korvid.rules"));
    Click(1048);  // other failures get no advice
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("读取信息失败 !"));
}

TEST_F(CommandTest, SaveAsksForAProjectPathAndReportsWriteFailures) {
    LoadCode(QByteArray("\x07\x08", 2));
    Click(1049);  // cancelled
    EXPECT_TRUE(programmer_.calls.empty());
    ASSERT_EQ(prompts_.saveDialogs.size(), 1u);
    EXPECT_EQ(prompts_.saveDialogs[0].first, "Vostrel project file (*.kpj)");
    EXPECT_EQ(prompts_.saveDialogs[0].second, "kpj");

    const QString path = dir_.filePath("job.kpj");
    prompts_.saveFiles = {path, path, path};
    programmer_.saveResults = {RC_OK, RC_FILE_OPEN, RC_KPJ_TOOL};
    Click(1049);
    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"SaveKPJ"});
    EXPECT_EQ(programmer_.calls[0].path, path.toStdString());
    EXPECT_EQ(programmer_.calls[0].code, (std::vector<uint8_t>{7, 8}));
    EXPECT_EQ(programmer_.calls[0].job.maxCount, 0);  // no update command yet
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
    Click(1049);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("无法建立或写入 \"") + path + "\" !");
    EXPECT_EQ(LastMessage().icon, QMessageBox::Critical);
    Click(1049);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("写入KPJ失败 !"));
}

TEST_F(CommandTest, CommandsHoldTheirButtonsAndAutoReloadWhileTheyRun) {
    const QString file = WriteFile("code.bin", QByteArray(16, '\x11'));
    QueueLoad(file);
    Dialog().OnLoad();
    Find<QCheckBox>(1068)->click();
    WriteFile("code.bin", QByteArray(16, '\x22'));
    bool updateHeld = false;
    programmer_.duringCall = [&] {
        Dialog().OnActivated();
        updateHeld = UpdateButtonsDisabled() && Find<QPushButton>(1048)->isEnabled();
    };
    Click(1046);
    EXPECT_TRUE(updateHeld);
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x11));
    bool dumpHeld = false;
    programmer_.dumpResults = {RC_REFUSED};
    programmer_.duringCall = [&] {
        Dialog().OnActivated();
        dumpHeld = !Find<QPushButton>(1048)->isEnabled() && UpdateButtonsEnabled();
    };
    Click(1048);
    EXPECT_TRUE(dumpHeld);
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x11));
    Dialog().OnActivated();
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x22));
}

TEST_F(CommandTest, NoAutoReloadWhileSaving) {
    const QString file = WriteFile("code.bin", QByteArray(16, '\x11'));
    QueueLoad(file);
    Dialog().OnLoad();
    Find<QCheckBox>(1068)->click();
    WriteFile("code.bin", QByteArray(16, '\x22'));
    prompts_.saveFiles = {dir_.filePath("job.kpj")};
    prompts_.duringSave = [this] { Dialog().OnActivated(); };
    Click(1049);
    EXPECT_EQ(programmer_.calls[0].code, std::vector<uint8_t>(16, 0x11));
    Dialog().OnActivated();  // afterwards it reloads again
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x22));
}

// The progress dialog as the real prompts run it: modal, until busy clears.
TEST_F(CommandTest, ProgressDialogStaysForItsFirstTickAndRefusesToClose) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    prompts_.answers = {QMessageBox::Yes};
    qint64 shownMs = 0;
    bool visibleAfterClose = false;
    prompts_.dialogs.push_back([&](QDialog& progress) {
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(20, &progress, [&] {
            progress.close();
            progress.reject();
            QTest::keyClick(&progress, Qt::Key_Escape);
            visibleAfterClose = progress.isVisible();
        });
        const int result = progress.exec();
        shownMs = clock.elapsed();
        return result;
    });
    Click(1046);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_GE(shownMs, 100);
    EXPECT_EQ(programmer_.Functions().size(), 3u);
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新成功 !"));
}

// The re-flash's events come on the worker thread; the bar takes them on the
// window's thread and ends full, telling that the programmer restarts.
TEST_F(CommandTest, ReflashProgressReachesTheBarOnTheWindowsThread) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    programmer_.firmwareProgress = {
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_SENDING_COMMAND, 0, 0},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1024, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 2048, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 3072, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0},
    };
    prompts_.answers = {QMessageBox::Yes};
    std::vector<int> values;
    bool offTheWindowsThread = false;
    int maximum = 0;
    QString text;
    prompts_.dialogs.push_back([&](QDialog& progress) {
        auto* bar = progress.findChild<QProgressBar*>("reflashProgress");
        EXPECT_NE(bar, nullptr);
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
            offTheWindowsThread |= QThread::currentThread() != qApp->thread();
            values.push_back(value);
        });
        const int result = progress.exec();
        maximum = bar->maximum();
        text = bar->text();
        return result;
    });
    Click(1046);
    EXPECT_EQ(values, (std::vector<int>{0, 1024, 2048, 3072}));
    EXPECT_FALSE(offTheWindowsThread);
    EXPECT_EQ(maximum, 3072);
    EXPECT_EQ(text, QString::fromUtf8("编程器重启中..."));
    EXPECT_EQ(LastMessage().text, QString::fromUtf8("更新成功 !"));
}

}  // namespace
}  // namespace korvid::workbench
