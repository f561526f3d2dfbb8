// MainDialog's programming commands against a fake programmer: which library
// function runs with what, the firmware-mismatch dialogue, the messages and the
// button states.
#include "access_advice_text.h"
#include "hex_records.h"
#include "workbench_fixture.h"

#include <algorithm>

namespace korvid::workbench {
namespace {

using core::testing::kEndOfFile;
using testing::kLibraryName;
using testing::WorkbenchTest;

const std::string kQuestion = "固件版本不合，更新程序 ?";

class CommandTest : public WorkbenchTest {
protected:
    void LoadCode(const std::string& bytes = std::string(0x100, '\x5A')) {
        Load(WriteFile("code.bin", bytes));
        ASSERT_TRUE(CodeCommandsEnabled());
    }
    bool UpdateButtonsEnabled() {
        return Shown().updateTargetEnabled && Shown().updateProgrammerEnabled;
    }
    bool UpdateButtonsDisabled() {
        return !Shown().updateTargetEnabled && !Shown().updateProgrammerEnabled;
    }
    const Message& LastMessage() {
        EXPECT_FALSE(view_.messages.empty());
        return view_.messages.back();
    }
    int ProgressDialogsRun() const {
        return static_cast<int>(
            std::count(view_.ranDialogs.begin(), view_.ranDialogs.end(), "progress"));
    }
};

TEST_F(CommandTest, CommandsWaitForALoadAndAnEmptyHexImageIsProgrammedWithLengthZero) {
    EXPECT_TRUE(UpdateButtonsDisabled());
    EXPECT_FALSE(Shown().saveKpjEnabled);
    EXPECT_TRUE(Shown().dumpEnabled);

    Load(WriteFile("empty.hex", kEndOfFile));
    ASSERT_TRUE(CodeCommandsEnabled());
    Dialog().OnUpdateTarget();

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
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(LastMessage(), (Message{MessageIcon::None, kLibraryName, "更新成功 !",
                                      MessageButtons::Ok, MessageAnswer::Ok}));
    EXPECT_TRUE(UpdateButtonsEnabled());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
}

TEST_F(CommandTest, UpdateTargetHandsOverTheFieldsAndACopyOfTheImage) {
    Choose("Series B", "Part B4");
    LoadCode(std::string("\x01\x02\x03", 3));
    Dialog().OnHwwidlEdited("1");
    Dialog().OnHwpsEdited("7");
    Dialog().OnUpdateTarget();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    const auto& job = programmer_.calls[0].job;
    EXPECT_EQ(programmer_.calls[0].code, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(job.codeLength, 3u);
    EXPECT_EQ(job.programArea, uint32_t{AREA_AP});  // the ISP parts offer no other
    EXPECT_EQ(job.hwOptions & 0xF, 0xFu);
    EXPECT_EQ(job.ispMemoryIndex, static_cast<uint32_t>(Shown().ispMemory.selected));
    EXPECT_EQ(job.iapMemoryIndex, static_cast<uint32_t>(Shown().iapMemory.selected));

    Dialog().OnHwwidlEdited("2");  // AND 1
    Dialog().OnHwpsEdited("9");    // AND 7
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls[1].job.hwOptions & 0xF, 1u << 1);
    Dialog().OnHwwidlEdited("x1");
    Dialog().OnHwpsEdited(" 3");
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls[2].job.hwOptions & 0xF, 3u << 1);
    EXPECT_EQ(Shown().hwps.text, " 3");
}

TEST_F(CommandTest, UpdateProgrammerTakesTheMaxCountDialogsSettings) {
    Choose("Series B", "Part B4");  // flash 0xF800
    LoadCode();
    view_.maxCountAnswers.push_back([](MaxCountDialog& dialog) {
        dialog.OnMaxCountEdited("1200");
        dialog.OnEnableSerialClicked(true);
        dialog.OnAutoIncrementClicked(true);
        EXPECT_TRUE(dialog.OnSerialTextEdited("SN-"));
        dialog.OnSerialNumberEdited("00000100");
        EXPECT_FALSE(dialog.OnStartAddressEdited("00001000"));
        return dialog.OnOk().accepted;
    });
    Dialog().OnUpdateProgrammer();
    EXPECT_EQ(view_.ranDialogs.back(), "maxCount");
    ASSERT_EQ(programmer_.calls.size(), 1u);
    const auto& call = programmer_.calls[0];
    EXPECT_EQ(call.toTarget, 0u);
    EXPECT_EQ(call.job.maxCount, 1200);
    EXPECT_EQ(Dialog().SharedMaxCount(), 1200);
    EXPECT_EQ(call.job.serialFlags, 3u);
    EXPECT_EQ(std::string(call.job.serialText, 12), "SN-         ");
    EXPECT_EQ(call.job.serialNumber, 0x100u);
    EXPECT_EQ(call.job.serialAddress, 0x1000u);
    EXPECT_EQ(LastMessage().text, "更新成功 !");

    // "Update Target" afterwards clears what the download used.
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls[1].job.maxCount, 0xFFFF);
    EXPECT_EQ(programmer_.calls[1].job.serialFlags, 0u);
}

TEST_F(CommandTest, CancelledMaxCountDialogCallsNoLibraryFunction) {
    LoadCode();
    view_.maxCountAnswers.push_back([](MaxCountDialog& dialog) {
        dialog.OnEnableSerialClicked(true);
        return false;
    });
    Dialog().OnUpdateProgrammer();
    EXPECT_TRUE(programmer_.calls.empty());
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_TRUE(UpdateButtonsEnabled());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
    EXPECT_EQ(Dialog().Job().serialFlags & 1, 1u);  // the box acted at once
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls[0].job.serialFlags, 0u);
}

TEST_F(CommandTest, DecliningTheReflashEndsSilentlyWithTheButtonsBack) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    view_.answers = {MessageAnswer::No};
    Dialog().OnUpdateTarget();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(LastMessage(), (Message{MessageIcon::Question, kLibraryName, kQuestion,
                                      MessageButtons::YesNo, MessageAnswer::Yes}));
    EXPECT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    EXPECT_TRUE(UpdateButtonsEnabled());

    programmer_.dumpResults = {RC_FIRMWARE_MISMATCH};
    view_.answers = {MessageAnswer::No};
    const std::vector<uint8_t> before = Image();
    Dialog().OnDump();
    EXPECT_EQ(view_.messages.size(), 2u);
    EXPECT_TRUE(Shown().dumpEnabled);
    EXPECT_EQ(Image(), before);
}

TEST_F(CommandTest, EachMismatchAfterASuccessfulReflashAsksAgain) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH, RC_FIRMWARE_MISMATCH, RC_OK};
    view_.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    Dialog().OnUpdateTarget();
    EXPECT_EQ(
        programmer_.Functions(),
        (std::vector<std::string>{"UpdateMCU", "UpdateFW", "UpdateMCU", "UpdateFW", "UpdateMCU"}));
    ASSERT_EQ(view_.messages.size(), 3u);
    EXPECT_EQ(view_.messages[0].text, kQuestion);
    EXPECT_EQ(view_.messages[1].text, kQuestion);
    EXPECT_EQ(view_.messages[2].text, "更新成功 !");
    EXPECT_EQ(ProgressDialogsRun(), 2);
    // The retry programs the same job.
    EXPECT_EQ(programmer_.calls[4].code, programmer_.calls[0].code);
}

// A programmer left in firmware-update mode by a re-flash cut short answers no
// command; the dialog offers to re-flash it and then runs the command.
TEST_F(CommandTest, AProgrammerLeftWaitingForItsFirmwareIsOfferedTheReflash) {
    LoadCode();
    programmer_.waitsForFirmware = true;
    programmer_.updateResults = {RC_NO_DEVICE};
    view_.answers = {MessageAnswer::Yes};
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.Functions(),
              (std::vector<std::string>{"UpdateMCU", "UpdateFW", "UpdateMCU"}));
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[0].text, kQuestion);
    EXPECT_EQ(LastMessage().text, "更新成功 !");

    // Declined, nothing more is said; without a programmer waiting, no question.
    programmer_.updateResults = {RC_NO_DEVICE};
    view_.answers = {MessageAnswer::No};
    Dialog().OnUpdateTarget();
    EXPECT_EQ(view_.messages.size(), 3u);
    programmer_.waitsForFirmware = false;
    programmer_.updateResults = {RC_NO_DEVICE};
    Dialog().OnUpdateTarget();
    EXPECT_EQ(LastMessage().text, "找不到装置 !");
}

TEST_F(CommandTest, FailedReflashIsReportedByBothCommands) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    programmer_.firmwareResults = {RC_FIRMWARE_FAIL, RC_FIRMWARE_FAIL};
    view_.answers = {MessageAnswer::Yes};
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.Functions(), (std::vector<std::string>{"UpdateMCU", "UpdateFW"}));
    EXPECT_EQ(LastMessage().text, "更新程序失败!");
    EXPECT_EQ(LastMessage().icon, MessageIcon::Error);

    programmer_.dumpResults = {RC_FIRMWARE_MISMATCH};
    view_.answers = {MessageAnswer::Yes};
    Dialog().OnDump();
    EXPECT_EQ(programmer_.Functions().back(), "UpdateFW");
    EXPECT_EQ(LastMessage().text, "更新程序失败!");
    EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
    EXPECT_TRUE(Shown().dumpEnabled);
}

// The re-flash's events come on the worker thread; the progress the dialog
// shows ends full, telling that the programmer restarts.
TEST_F(CommandTest, ReflashProgressIsShownUntilTheWorkerEnds) {
    LoadCode();
    programmer_.updateResults = {RC_FIRMWARE_MISMATCH};
    programmer_.firmwareProgress = {
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 3072, 3072},
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0},
    };
    view_.answers = {MessageAnswer::Yes};
    Dialog().OnUpdateTarget();
    ASSERT_FALSE(view_.progressStates.empty());
    const ReflashProgress::State& last = view_.progressStates.back();
    EXPECT_EQ(last.barMaximum, 3072u);
    EXPECT_EQ(last.barValue, 3072u);
    EXPECT_EQ(last.barText, "编程器重启中...");
    EXPECT_EQ(LastMessage().text, "更新成功 !");
}

TEST_F(CommandTest, DumpReplacesTheImageAndIsNoCodeToProgram) {
    LoadCode();
    for (int i = 0; i < 256; ++i) {
        programmer_.dumpBytes[i] = static_cast<uint8_t>(255 - i);
    }
    Dialog().OnDump();
    EXPECT_EQ(programmer_.Functions(), std::vector<std::string>{"DumpMCUInfo"});
    EXPECT_EQ(Image(), programmer_.dumpBytes);
    EXPECT_EQ(Shown().source, "读取信息完成 !");
    EXPECT_TRUE(Shown().size.empty());
    EXPECT_TRUE(Shown().checksum.empty());
    EXPECT_TRUE(UpdateButtonsDisabled());
    EXPECT_TRUE(Shown().saveKpjEnabled);
    EXPECT_TRUE(Shown().dumpEnabled);
    EXPECT_TRUE(view_.messages.empty());

    // A failed dump leaves the image alone.
    programmer_.dumpResults = {RC_REFUSED};
    programmer_.dumpBytes.assign(256, 0);
    Dialog().OnDump();
    EXPECT_EQ(Image().front(), 255);
    EXPECT_EQ(LastMessage().text, "读取信息失败 !");
    EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
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
        Restart();
        LoadCode();
        programmer_.updateResults = {c.result};
        Dialog().OnUpdateTarget();
        ASSERT_EQ(view_.messages.size(), 1u);
        EXPECT_EQ(LastMessage().text, c.update);
        EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
        EXPECT_EQ(LastMessage().caption, kLibraryName);
        programmer_.dumpResults = {c.result};
        Dialog().OnDump();
        ASSERT_EQ(view_.messages.size(), 2u);
        EXPECT_EQ(LastMessage().text, c.dump);
        EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
    }
}

// "Not find device !" says why, when the library knows: the programmer is there
// but may not be opened (Linux: the udev rules file; Windows: its own advice).
TEST_F(CommandTest, AProgrammerThatMayNotBeOpenedIsNamedWithItsFix) {
    LoadCode();
    programmer_.access = KORVID_ACCESS_DENIED;
    programmer_.updateResults = {RC_NO_DEVICE};
    programmer_.dumpResults = {RC_NO_DEVICE, RC_COMM_FAIL};
    Dialog().OnUpdateTarget();
    const std::string advice = core::AccessAdviceText(KORVID_ACCESS_DENIED)->chinese;
    EXPECT_EQ(LastMessage().text, "找不到装置 !\n" + advice);
#if !defined(_WIN32)
    EXPECT_NE(advice.find("60-korvid.rules"), std::string::npos);
#endif
    Dialog().OnDump();
    EXPECT_EQ(LastMessage().text, "找不到装置 !\n" + advice);
    Dialog().OnDump();  // other failures get no advice
    EXPECT_EQ(LastMessage().text, "读取信息失败 !");

    // Nothing attached, or one that opens: "Not find device !" alone.
    for (const uint32_t cause : {KORVID_ACCESS_NOT_ATTACHED, KORVID_ACCESS_OPENS}) {
        programmer_.access = cause;
        programmer_.updateResults = {RC_NO_DEVICE};
        Dialog().OnUpdateTarget();
        EXPECT_EQ(LastMessage().text, "找不到装置 !") << cause;
    }
}

TEST_F(CommandTest, SaveAsksForAProjectPathAndReportsWriteFailures) {
    LoadCode(std::string("\x07\x08", 2));
    Dialog().OnSaveKpj();  // cancelled
    EXPECT_TRUE(programmer_.calls.empty());
    ASSERT_EQ(view_.saveDialogs.size(), 1u);
    EXPECT_EQ(view_.saveDialogs[0].first,
              (std::vector<FileFilter>{{"Vostrel project file", {"*.kpj"}}}));
    EXPECT_EQ(view_.saveDialogs[0].second, "kpj");

    const std::string path = FilePath("job.kpj");
    view_.saveFiles = {path, path, path};
    programmer_.saveResults = {RC_OK, RC_FILE_OPEN, RC_KPJ_TOOL};
    Dialog().OnSaveKpj();
    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"SaveKPJ"});
    EXPECT_EQ(programmer_.calls[0].path, path);
    EXPECT_EQ(programmer_.calls[0].code, (std::vector<uint8_t>{7, 8}));
    EXPECT_EQ(programmer_.calls[0].job.maxCount, 0);  // no update command yet
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(Dialog().Job().codeBuffer, nullptr);
    Dialog().OnSaveKpj();
    EXPECT_EQ(LastMessage().text, "无法建立或写入 \"" + path + "\" !");
    EXPECT_EQ(LastMessage().icon, MessageIcon::Error);
    Dialog().OnSaveKpj();
    EXPECT_EQ(LastMessage().text, "写入KPJ失败 !");
}

TEST_F(CommandTest, CommandsHoldTheirButtonsAndAutoReloadWhileTheyRun) {
    Load(WriteFile("code.bin", std::string(16, '\x11')));
    Dialog().OnAutoReloadClicked(true);
    WriteFile("code.bin", std::string(16, '\x22'));
    bool updateHeld = false;
    programmer_.duringCall = [&] {
        Dialog().OnActivated();
        updateHeld = UpdateButtonsDisabled() && view_.state.dumpEnabled;
    };
    Dialog().OnUpdateTarget();
    EXPECT_TRUE(updateHeld);
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x11));
    bool dumpHeld = false;
    programmer_.dumpResults = {RC_REFUSED};
    programmer_.duringCall = [&] {
        Dialog().OnActivated();
        dumpHeld = !view_.state.dumpEnabled && UpdateButtonsEnabled();
    };
    Dialog().OnDump();
    EXPECT_TRUE(dumpHeld);
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x11));
    Dialog().OnActivated();
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x22));
}

TEST_F(CommandTest, NoAutoReloadWhileSaving) {
    Load(WriteFile("code.bin", std::string(16, '\x11')));
    Dialog().OnAutoReloadClicked(true);
    WriteFile("code.bin", std::string(16, '\x22'));
    view_.saveFiles = {FilePath("job.kpj")};
    view_.duringSave = [this] { Dialog().OnActivated(); };
    Dialog().OnSaveKpj();
    EXPECT_EQ(programmer_.calls[0].code, std::vector<uint8_t>(16, 0x11));
    Dialog().OnActivated();  // afterwards it reloads again
    EXPECT_EQ(Image(), std::vector<uint8_t>(16, 0x22));
}

}  // namespace
}  // namespace korvid::workbench
