// The smaller dialogs' rules: the area dialog, the Max Count and serial number
// dialog, the re-flash progress, the hexadecimal fields' typed-character filter
// and the texts the library gives the dialogs.
#include "AreaDialog.h"
#include "Catalogue.h"
#include "FirmwareUpdate.h"
#include "MaxCountDialog.h"
#include "ReflashProgress.h"
#include "cp936_text.h"
#include "hex_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace korvid::workbench {
namespace {

// Each character typed as a field with the hexadecimal filter takes it.
std::string TypedThroughFilter(std::string_view keys, bool allowFormFeed = false) {
    std::string field;
    for (const char key : keys) {
        if (PassesHexDigitFilter(static_cast<unsigned char>(key), allowFormFeed)) {
            field += key;
        }
    }
    return field;
}

TEST(HexDigitFilter, DropsEveryOtherCharacter) {
    EXPECT_EQ(TypedThroughFilter("0x9 AfG;z"), "09Af");
    EXPECT_TRUE(PassesHexDigitFilter(8, false));
    EXPECT_FALSE(PassesHexDigitFilter(12, false));
    EXPECT_TRUE(PassesHexDigitFilter(12, true));
    EXPECT_FALSE(PassesHexDigitFilter('\t', true));
    EXPECT_FALSE(PassesHexDigitFilter(0x7F, true));
    EXPECT_FALSE(PassesHexDigitFilter(U'Ａ', true));  // a full-width letter is no digit
}

TEST(AreaDialogRules, StartsOnTheCodeAreaWithTheDefaultAddress) {
    AreaDialog dialog(0x1000, Language::Chinese);
    AreaDialog::State s = dialog.Present();
    EXPECT_EQ(s.caption, "选择AP/IAP区域");
    EXPECT_EQ(s.codeArea, "AP(程序)");
    EXPECT_EQ(s.dataArea, "IAP(数据)");
    EXPECT_EQ(s.addressLabel, "位址 : 0x");
    EXPECT_FALSE(s.dataAreaChosen);
    EXPECT_FALSE(s.addressEnabled);
    EXPECT_EQ(s.address, "1000");
    dialog.OnDataAreaClicked();
    EXPECT_TRUE(dialog.Present().addressEnabled);
    dialog.OnCodeAreaClicked();
    EXPECT_FALSE(dialog.Present().addressEnabled);
    EXPECT_EQ(AreaDialog(0x1000, Language::English).Present().caption, "Select AP/IAP area");
}

TEST(AreaDialogRules, OkWithTheCodeAreaIgnoresTheField) {
    AreaDialog dialog(0x1000, Language::Chinese);
    dialog.OnDataAreaClicked();
    dialog.OnAddressEdited("2345");
    dialog.OnCodeAreaClicked();
    EXPECT_EQ(dialog.OnOk(), 0u);
}

TEST(AreaDialogRules, OkWithTheDataArea) {
    const auto okWith = [](const char* typed) {
        AreaDialog dialog(0x1000, Language::Chinese);
        dialog.OnDataAreaClicked();
        if (typed != nullptr) {
            dialog.OnAddressEdited(TypedThroughFilter(typed));
        }
        return std::pair(dialog.Present().address, dialog.OnOk());
    };
    EXPECT_EQ(okWith(nullptr), std::pair(std::string("1000"), 0x1000u));  // the default shown
    EXPECT_EQ(okWith("1g2a-f"), std::pair(std::string("12AF"), 0x12AFu));  // shown upper case
    EXPECT_EQ(okWith("   "), std::pair(std::string(), 0x1000u));  // no number: the default stays
    // Too many digits: never a small address.
    EXPECT_EQ(okWith("123456789").second, 0xFFFFFFFFu);
}

class MaxCountRules : public ::testing::Test {
protected:
    MaxCountDialog& Dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<MaxCountDialog>(job_, 0xF800, shared_, Language::Chinese,
                                                       "caption");
        }
        return *dialog_;
    }
    MaxCountDialog::State Shown() { return Dialog().Present(); }

    JobRecord job_{};
    uint16_t shared_ = 7;
    std::unique_ptr<MaxCountDialog> dialog_;
};

TEST_F(MaxCountRules, ShowsTheChineseTextsAndStartsWithTheSerialFieldsOff) {
    const MaxCountDialog::State s = Shown();
    EXPECT_EQ(s.texts, (MaxCountDialog::Texts{"设置最大计数值和滚动码", "最大计数值 : ", "支持滚动码",
                                              "字符", "启始码", "自动上数", "启始位置", "结束位置",
                                              "确定", "取消"}));
    EXPECT_EQ(s.maxCount, "0");
    EXPECT_EQ(s.serialNumber, "00000000");
    EXPECT_FALSE(s.serialEnabled);
    EXPECT_FALSE(s.serialFieldsEnabled);
    Dialog().OnEnableSerialClicked(true);
    EXPECT_TRUE(Shown().serialFieldsEnabled);
    EXPECT_EQ(MaxCountDialog(job_, 0xF800, shared_, Language::English, "").Present().texts.autoIncrement,
              "Auto Increment Numbe");
}

TEST_F(MaxCountRules, StartAddressStaysInTheLastSixteenBytesOfFlash) {
    EXPECT_EQ(Shown().startAddress, "0000F7F0");
    EXPECT_EQ(Shown().endAddress, "0x0000F7FF");
    EXPECT_TRUE(Dialog().OnStartAddressEdited("F800"));  // set back, with the beep
    EXPECT_EQ(Shown().startAddress, "0000F7F0");
    EXPECT_EQ(Shown().endAddress, "0x0000F7FF");
    EXPECT_FALSE(Dialog().OnStartAddressEdited("1a0"));
    EXPECT_EQ(Shown().startAddress, "1a0");
    EXPECT_EQ(Shown().endAddress, "0x000001AF");
    EXPECT_TRUE(Dialog().OnStartAddressEdited("123456789"));
    EXPECT_EQ(Shown().startAddress, "0000F7F0");
    EXPECT_FALSE(Dialog().OnStartAddressEdited("7F"));
    EXPECT_EQ(Shown().endAddress, "0x0000008E");
    Dialog().OnSerialNumberEdited("3456");
    EXPECT_TRUE(Dialog().OnOk().accepted);
    EXPECT_EQ(job_.serialNumber, 0x3456u);
    EXPECT_EQ(job_.serialAddress, 0x7Fu);
}

TEST_F(MaxCountRules, MaxCountIsCutToTheLimitWhileTypingAndCheckedOnOk) {
    Dialog().OnMaxCountEdited("65531");
    EXPECT_EQ(Shown().maxCount, "65530");
    Dialog().OnMaxCountEdited("-");  // no number yet: left to the user
    EXPECT_EQ(Shown().maxCount, "-");
    Dialog().OnMaxCountEdited("-3");
    MaxCountDialog::OkOutcome ok = Dialog().OnOk();
    EXPECT_FALSE(ok.accepted);
    ASSERT_TRUE(ok.message.has_value());
    EXPECT_EQ(*ok.message, (Message{MessageIcon::Error, "caption", "\"最大计数值\" 最大值为 65530 !",
                                    MessageButtons::Ok, MessageAnswer::Ok}));
    Dialog().OnMaxCountEdited("12x");
    ok = Dialog().OnOk();
    EXPECT_FALSE(ok.accepted);
    EXPECT_EQ(ok.message->text, "请输入一个整数。");
    EXPECT_EQ(shared_, 7);
    Dialog().OnMaxCountEdited(" 65530 ");
    EXPECT_TRUE(Dialog().OnOk().accepted);
    EXPECT_EQ(shared_, 65530);
}

TEST_F(MaxCountRules, OkStoresTheSerialSettingsEvenWithSerialNumbersOff) {
    Dialog().OnEnableSerialClicked(true);
    EXPECT_FALSE(Dialog().OnSerialTextEdited("ABCDEFGHIJKLM"));  // 12 characters at most
    EXPECT_TRUE(Dialog().OnSerialTextEdited("ABCDE"));
    Dialog().OnAutoIncrementClicked(true);
    Dialog().OnSerialNumberEdited("DEADBEEF");
    EXPECT_FALSE(Dialog().OnStartAddressEdited("1230"));
    EXPECT_EQ(job_.serialFlags, 1u);
    Dialog().OnEnableSerialClicked(false);  // off again: bit 0 follows at once
    EXPECT_EQ(job_.serialFlags, 0u);
    Dialog().OnMaxCountEdited("10");
    EXPECT_TRUE(Dialog().OnOk().accepted);
    EXPECT_EQ(shared_, 10);
    EXPECT_EQ(job_.serialFlags, 2u);
    EXPECT_EQ(std::string(job_.serialText, 12), "ABCDE       ");
    EXPECT_EQ(job_.serialNumber, 0xDEADBEEFu);
    EXPECT_EQ(job_.serialAddress, 0x1230u);
}

TEST_F(MaxCountRules, SerialTextCountsCodePageBytes) {
    EXPECT_FALSE(Dialog().OnSerialTextEdited("编号一二三四五"));  // two bytes each
    EXPECT_TRUE(Dialog().OnSerialTextEdited("编号一二三四"));
    EXPECT_EQ(Shown().serialText, "编号一二三四");
    EXPECT_TRUE(Dialog().OnOk().accepted);
    EXPECT_EQ(std::string(job_.serialText, 12),
              "\xB1\xE0\xBA\xC5\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4");
}

TEST_F(MaxCountRules, LeavingStoresNothingButTheBoxesBit) {
    job_.serialFlags = 3;  // as a previous download left it
    Dialog();
    EXPECT_EQ(job_.serialFlags, 2u);  // the box starts unchecked
    Dialog().OnEnableSerialClicked(true);
    Dialog().OnSerialTextEdited("XYZ");
    Dialog().OnMaxCountEdited("5");
    dialog_.reset();  // "Exit"
    EXPECT_EQ(shared_, 7);
    EXPECT_EQ(job_.serialFlags, 3u);
    EXPECT_EQ(job_.serialText[0], '\0');
}

TEST(ReflashProgressRules, EndsAtTheFirstTickOnceTheWorkerIsDone) {
    FirmwareUpdateState state;
    ReflashProgress progress(state, Language::Chinese);
    EXPECT_FALSE(progress.Finished());
    EXPECT_FALSE(progress.OnTick());
    EXPECT_TRUE(progress.Finished());
}

TEST(ReflashProgressRules, NoticeBlinksWhileBusy) {
    FirmwareUpdateState state;
    state.busy = 1;
    ReflashProgress progress(state, Language::Chinese);
    EXPECT_EQ(progress.Present().notice, "");
    ASSERT_TRUE(progress.OnTick());
    EXPECT_EQ(progress.Present().notice, " ");
    ASSERT_TRUE(progress.OnTick());
    EXPECT_EQ(progress.Present().notice, "更新硬件程序中...\n\n请勿拔出编程器.");
    ASSERT_TRUE(progress.OnTick());
    EXPECT_EQ(progress.Present().notice, " ");
    EXPECT_FALSE(progress.Finished());
    state.busy.store(0, std::memory_order_release);
    EXPECT_FALSE(progress.OnTick());
    EXPECT_TRUE(progress.Finished());
}

TEST(ReflashProgressRules, TotalsBeyondTheBarsRangeAreHalved) {
    FirmwareUpdateState state;
    state.busy = 1;
    ReflashProgress progress(state, Language::Chinese);
    progress.Report({KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0x80000000u, 0xFFFFFFFFu});
    const ReflashProgress::State s = progress.Present();
    EXPECT_EQ(s.barMaximum, 0x7FFFFFFFu);
    EXPECT_EQ(s.barValue, 0x40000000u);
}

TEST(ReflashProgressRules, BarFollowsTheReflash) {
    FirmwareUpdateState state;
    state.busy = 1;
    ReflashProgress progress(state, Language::Chinese);
    struct Step {
        KorvidProgress event;
        uint32_t maximum;
        uint32_t value;
        std::string text;
    };
    const std::string restarting = "编程器重启中...";
    const Step steps[] = {
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_SENDING_COMMAND, 0, 0}, 0, 0, {}},
        // The restart into the update mode comes before any count: still busy.
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 200, 0}, 0, 0, {}},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0, 3000}, 3000, 0, {}},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1000, 3000}, 3000, 1000, {}},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 3000, 3000}, 3000, 3000, {}},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0}, 3000, 3000, restarting},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 900, 0}, 3000, 3000, restarting},
        // A second re-flash counts afresh, without the restart text.
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 512, 1024}, 1024, 512, {}},
    };
    for (const Step& step : steps) {
        progress.Report(step.event);
        const ReflashProgress::State s = progress.Present();
        EXPECT_EQ(s.barMaximum, step.maximum) << step.event.phase << " " << step.event.done;
        EXPECT_EQ(s.barValue, step.value) << step.event.done;
        EXPECT_EQ(s.barText, step.text) << step.event.done;
    }
}

TEST(LibraryCatalogue, NameAndOptionDescriptionsDecodeFromCodePage936) {
    const Catalogue catalogue = LibraryCatalogue();
    EXPECT_EQ(catalogue.libraryName, "Vostrel 8051 ISP(R5) 编程器");
    EXPECT_EQ(catalogue.version, 0x0710);
    ASSERT_EQ(catalogue.isp.size(), 44u);
    EXPECT_TRUE(catalogue.icp.empty());
    const std::map<std::string, std::string> expected{
        {"FZWDTCR", "仅上电重置看门狗"},  {"AUX_RAM", "禁用内部扩展RAM"},
        {"OSCDN", "降低振荡增益"},        {"KEEP IAP-DATA", "保留 IAP-资料"},
        {"EN6T", "双倍速(6T模式)"},       {"ENLVRC", "Vdd小于2.5V复位"},
        {"ENLVRO", "Vdd小于3.7V复位"},    {"ENROSC", "使用内部振荡(6MHz)"},
        {"HWENW", "上电启动看门狗"}};
    std::set<std::string> seen;
    for (const PartInfo& part : catalogue.isp) {
        for (uint32_t k = 0; k < part.optionCount; ++k) {
            const std::string option = part.options[k].name;
            ASSERT_TRUE(expected.count(option)) << option;
            EXPECT_EQ(core::Cp936ToUtf8(part.options[k].description), expected.at(option))
                << option;
            seen.insert(option);
        }
    }
    EXPECT_EQ(seen.size(), expected.size());
}

}  // namespace
}  // namespace korvid::workbench
