// The English display mode: chosen in the window's menu or by KORVID_LANG, shown
// at once in every window text, control, dialog and message. Only the library's
// own display name and its option descriptions (as tips) stay Chinese.
#include "TextTable.h"
#include "command_messages.h"
#include "workbench_fixture.h"

namespace korvid::workbench {
namespace {

using testing::WorkbenchTest;

// Han characters, CJK punctuation, kana and full-width forms, in UTF-8 text.
bool HasCjk(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k) {
            c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
            (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || c >= 0x20000) {
            return true;
        }
        i += static_cast<std::size_t>(length);
    }
    return false;
}

// Every Chinese text the state shows, but the caption (the library's display
// name as the library gives it) and the option boxes' tips (its descriptions).
std::vector<std::string> ChineseShownIn(const MainDialogState& s) {
    std::vector<std::string> found;
    const auto check = [&](const std::string& text) {
        if (HasCjk(text)) {
            found.push_back(text);
        }
    };
    const MainDialogTexts& t = s.texts;
    for (const std::string* text :
         {&t.programmerType, &t.mcuPartNo, &t.programmingArea, &t.hwOptionsSetting, &t.ispMemory,
          &t.iapMemory, &t.setLabel, &t.binaryCodeBuffer, &t.load, &t.saveKpj, &t.exit,
          &t.updateTarget, &t.updateProgrammer, &t.dumpTargetInfo, &t.writeProtect,
          &t.autoReloadCode, &t.sizePrefix, &t.checksumPrefix, &s.source, &s.size, &s.checksum,
          &s.hwwidl.text, &s.hwps.text, &s.ispMemory.tip, &s.iapMemory.tip}) {
        check(*text);
    }
    for (const ListState* list : {&s.series, &s.part, &s.ispMemory, &s.iapMemory}) {
        for (const std::string& item : list->items) {
            check(item);
        }
    }
    for (const OptionBoxState& box : s.options) {
        check(box.text);
        check(box.accessibleName);
    }
    return found;
}

class LanguageTest : public WorkbenchTest {
protected:
    void Start(std::optional<std::string_view> environment) {
        dialog_ = std::make_unique<MainDialog>(view_, hex_, programmer_, settings_,
                                               LibraryCatalogue());
        dialog_->OnInitDialog(environment);
    }
    void LoadBinary() {
        Load(WriteFile("code.bin", std::string(0x100, '\x5A')));
        ASSERT_TRUE(CodeCommandsEnabled());
    }
};

TEST_F(LanguageTest, ChineseIsTheDefault) {
    EXPECT_EQ(Dialog().DisplayLanguage(), Language::Chinese);
    EXPECT_EQ(Shown().language, Language::Chinese);
    // The walk finds Chinese where there is some.
    EXPECT_FALSE(ChineseShownIn(Shown()).empty());
    EXPECT_EQ(Shown().options[0].text, "仅上电重置看门狗");
    EXPECT_TRUE(Shown().options[0].tip.empty());
}

TEST_F(LanguageTest, EnglishFromTheEnvironmentLeavesOnlyTheLibrarysTexts) {
    Start("en");
    LoadBinary();
    EXPECT_EQ(ChineseShownIn(Shown()), std::vector<std::string>());
    EXPECT_EQ(Shown().language, Language::English);
    EXPECT_EQ(Shown().texts.load, "Load");
    EXPECT_EQ(Shown().texts.mcuPartNo, "MCU Part No.");
    EXPECT_EQ(Shown().texts.setLabel, "Set :");
    EXPECT_EQ(Shown().size, "Size:0x100");
    EXPECT_EQ(Shown().checksum, "Checksum:0x5A00");
    EXPECT_EQ(Shown().texts.sizePrefix, "Size:0x");
    EXPECT_EQ(Shown().texts.checksumPrefix, "Checksum:0x");
    // The caption keeps the library's name as the library gives it.
    EXPECT_EQ(Shown().caption, "Vostrel 8051 ISP(R5) 编程器 v7.10");
    // The options show their names, with the library's description as the tip.
    EXPECT_EQ(Shown().options[0].text, "FZWDTCR");
    EXPECT_EQ(Shown().options[0].tip, "仅上电重置看门狗");
    EXPECT_EQ(Shown().options[3].text, "KEEP IAP-DATA");
    EXPECT_EQ(Shown().options[3].tip, "保留 IAP-资料");
    EXPECT_TRUE(Shown().options[5].text.empty());
}

TEST_F(LanguageTest, TheEnvironmentOverridesTheRememberedChoice) {
    Dialog().OnLanguageChosen(Language::English);
    EXPECT_EQ(settings_.language, "en");
    Start("zh");
    EXPECT_EQ(Shown().texts.load, "打开文件");
    // A value that names no language leaves the remembered one.
    Start("fr");
    EXPECT_EQ(Shown().texts.load, "Load");
    Start(std::nullopt);
    EXPECT_EQ(Shown().texts.load, "Load");
    EXPECT_EQ(settings_.language, "en");
}

TEST_F(LanguageTest, TheMenuChoiceShowsAtOnceAndIsRemembered) {
    useLibrary_ = true;  // "Save *.KPJ" writes a real project to load back
    LoadBinary();
    const std::string project = FilePath("job.kpj");
    view_.saveFiles.push_back(project);
    Dialog().OnSaveKpj();
    Load(project);
    ASSERT_TRUE(view_.messages.empty());
    Dialog().OnOptionClicked(1, true);
    const std::string chineseSource = project + " (代码名称: \"code.bin\")";
    ASSERT_EQ(Shown().source, chineseSource);

    Dialog().OnLanguageChosen(Language::English);
    EXPECT_EQ(Dialog().DisplayLanguage(), Language::English);
    EXPECT_EQ(ChineseShownIn(Shown()), std::vector<std::string>());
    EXPECT_EQ(Shown().source, project + " (Code Name: \"code.bin\")");
    EXPECT_EQ(Shown().size, "Size:0x100");
    EXPECT_EQ(Shown().checksum, "Checksum:0x5A00");
    EXPECT_EQ(Shown().options[1].text, "AUX_RAM");
    // Switching changes texts only: the options, the code and the commands stay.
    EXPECT_TRUE(Shown().options[1].checked);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b10u);
    EXPECT_EQ(Image(), std::vector<uint8_t>(0x100, 0x5A));
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_EQ(settings_.language, "en");

    Dialog().OnLanguageChosen(Language::Chinese);
    EXPECT_EQ(Shown().source, chineseSource);
    EXPECT_EQ(Shown().size, "大小:0x100");
    EXPECT_EQ(Shown().texts.load, "打开文件");
    EXPECT_EQ(Shown().options[1].text, "禁用内部扩展RAM");
    EXPECT_TRUE(Shown().options[1].tip.empty());
    EXPECT_EQ(settings_.language, "zh");
}

// The source field is rebuilt from what it describes: a path that happens to
// hold a prefix of the other language is never rewritten.
TEST_F(LanguageTest, ThePathInTheSourceFieldNeverChanges) {
    const std::string path = WriteFile("读取信息完成 ! (Code Name.bin", "x");
    Load(path);
    Dialog().OnLanguageChosen(Language::English);
    EXPECT_EQ(Shown().source, path);
    Dialog().OnLanguageChosen(Language::Chinese);
    EXPECT_EQ(Shown().source, path);
}

TEST_F(LanguageTest, TheDumpNoteFollowsTheLanguage) {
    Dialog().OnDump();
    ASSERT_EQ(Shown().source, "读取信息完成 !");
    Dialog().OnLanguageChosen(Language::English);
    EXPECT_EQ(Shown().source, "Dump Information ok !");
    EXPECT_TRUE(Shown().size.empty());
}

TEST_F(LanguageTest, EverySmallerDialogIsEnglish) {
    Start("en");
    const AreaDialog::State area = AreaDialog(0x1000, Dialog().DisplayLanguage()).Present();
    for (const std::string* text : {&area.caption, &area.codeArea, &area.dataArea,
                                    &area.addressLabel}) {
        EXPECT_FALSE(HasCjk(*text)) << *text;
    }
    EXPECT_EQ(area.caption, "Select AP/IAP area");

    JobRecord job{};
    uint16_t shared = 0;
    const MaxCountDialog::Texts maxCount =
        MaxCountDialog(job, 0xF800, shared, Dialog().DisplayLanguage(), "").Present().texts;
    for (const std::string* text :
         {&maxCount.title, &maxCount.maxCountLabel, &maxCount.enableSerial,
          &maxCount.serialTextLabel, &maxCount.numberLabel, &maxCount.autoIncrement,
          &maxCount.startLabel, &maxCount.endLabel, &maxCount.ok, &maxCount.exit}) {
        EXPECT_FALSE(HasCjk(*text)) << *text;
    }
    EXPECT_EQ(maxCount.title, "Set Max Count & Serial Number");

    FirmwareUpdateState state;
    state.busy = 1;
    ReflashProgress progress(state, Dialog().DisplayLanguage());
    progress.OnTick();
    progress.OnTick();
    EXPECT_EQ(progress.Present().notice, TextTable::firmwareUpdating.english);
    progress.Report({KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1, 1});
    progress.Report({KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0});
    EXPECT_EQ(progress.Present().barText, "Programmer restarting ...");
}

TEST_F(LanguageTest, EveryTextPairHasAnEnglishMemberWithoutChinese) {
    const core::TextPair* pairs[] = {&TextTable::programmerType,
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
                                     &TextTable::programmerRefusedByWindows,
                                     &TextTable::programmerWithoutDriver,
                                     &TextTable::maxValueIs65530};
    for (const core::TextPair* pair : pairs) {
        EXPECT_FALSE(HasCjk(PairText(*pair, Language::English))) << pair->english;
        EXPECT_EQ(PairText(*pair, Language::English), pair->english);
        EXPECT_EQ(PairText(*pair, Language::Chinese), pair->chinese);
    }
    for (int result = 0; result <= 0xFF; ++result) {
        const auto code = static_cast<uint8_t>(result);
        EXPECT_FALSE(HasCjk(PairText(core::UpdateResultText(code), Language::English)));
        EXPECT_FALSE(HasCjk(PairText(core::DumpFailureText(code), Language::English)));
    }
}

TEST_F(LanguageTest, MessageBoxesOfTheCommandsAreEnglish) {
    Start("en");
    // A file that cannot be opened, a refused project, a programmer that is there
    // but may not be opened, the firmware question, a dump failure, a count too high.
    Load(FilePath("missing.bin"));
    Load(WriteFile("junk.kpj", std::string(300, '\x00')));
    LoadBinary();
    programmer_.updateResults = {RC_NO_DEVICE, RC_FIRMWARE_MISMATCH};
    programmer_.access = KORVID_ACCESS_DENIED;
    Dialog().OnUpdateTarget();
    view_.answers = {MessageAnswer::No};
    Dialog().OnUpdateTarget();
    programmer_.dumpResults = {RC_COMM_FAIL};
    Dialog().OnDump();
    std::optional<Message> countMessage;
    view_.maxCountAnswers.push_back([&countMessage](MaxCountDialog& maxCount) {
        maxCount.OnMaxCountEdited("-5");
        countMessage = maxCount.OnOk().message;
        return false;
    });
    Dialog().OnUpdateProgrammer();

    ASSERT_EQ(view_.messages.size(), 5u);
    for (const Message& message : view_.messages) {
        EXPECT_FALSE(HasCjk(message.text)) << message.text;
        EXPECT_EQ(message.caption, Dialog().LibraryName());
    }
    EXPECT_EQ(view_.messages[2].text.rfind("Not find device !\nA programmer is attached", 0), 0u);
    EXPECT_EQ(view_.messages[3].text, "Unmatched firmware version, Do you want to update ?");
    ASSERT_TRUE(countMessage.has_value());
    EXPECT_EQ(countMessage->text, "Max vaule is 65530 for \"MaxCount\"");
    EXPECT_EQ(countMessage->caption, Dialog().LibraryName());
}

}  // namespace
}  // namespace korvid::workbench
