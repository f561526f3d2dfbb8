// The whole workflow from the dialog against the library's built-in simulated
// programmers. The library picks its programmer once, from KORVID_SIMULATE, so
// each suite runs in its own process with the variable set (see CMakeLists.txt):
// Current* with "hid" and "pipe", Outdated* with "hid-old" and "pipe-old",
// NotAccessibleProgrammer* with "hid-noaccess", StrandedProgrammer* with
// "hid-update", NoProgrammer* without the variable
// on a machine with no programmer attached.
// The simulated pauses pass at once (KORVID_SIMULATE_CLOCK=virtual).
#include "access_advice_text.h"
#include "hex_records.h"
#include "workbench_fixture.h"

#include <algorithm>
#include <filesystem>

namespace korvid::workbench {
namespace {

using core::testing::DataRecord;
using core::testing::kEndOfFile;
using testing::WorkbenchTest;

const std::string kUpdateSuccess = "更新成功 !";
const std::string kNotFound = "找不到装置 !";

class SimulatedProgrammerTest : public WorkbenchTest {
protected:
    void SetUp() override { useLibrary_ = true; }
    void LoadHex() {
        std::vector<uint8_t> code(0x80);
        for (std::size_t i = 0; i < code.size(); ++i) {
            code[i] = static_cast<uint8_t>(i * 3);
        }
        Load(WriteFile("blink.hex", DataRecord(0, code) + DataRecord(0x80, code) + kEndOfFile));
        ASSERT_TRUE(CodeCommandsEnabled());
    }
    std::string LastText() const {
        return view_.messages.empty() ? std::string() : view_.messages.back().text;
    }
    std::string LastFirstLine() const { return LastText().substr(0, LastText().find('\n')); }
    // "Update Target" of the loaded file, answering "Yes" to the re-flash question:
    // the re-flash runs behind the progress dialog, then the target is programmed.
    void UpdateTargetAcceptingTheReflash() {
        LoadHex();
        view_.answers = {MessageAnswer::Yes};
        Dialog().OnUpdateTarget();
        ASSERT_EQ(view_.messages.size(), 2u);
        EXPECT_EQ(view_.messages[0].text, "固件版本不合，更新程序 ?");
        EXPECT_EQ(view_.ranDialogs.back(), "progress");
        EXPECT_EQ(LastText(), kUpdateSuccess);
    }
};

using CurrentProgrammer = SimulatedProgrammerTest;
using OutdatedProgrammer = SimulatedProgrammerTest;
using NotAccessibleProgrammer = SimulatedProgrammerTest;
using StrandedProgrammer = SimulatedProgrammerTest;
using NoProgrammer = SimulatedProgrammerTest;

TEST_F(CurrentProgrammer, ProgramsDownloadsDumpsAndSaves) {
    LoadHex();
    Dialog().OnUpdateTarget();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(LastText(), kUpdateSuccess);
    EXPECT_EQ(view_.messages.back().icon, MessageIcon::None);

    view_.maxCountAnswers.push_back([](MaxCountDialog& dialog) {
        dialog.OnMaxCountEdited("500");
        dialog.OnEnableSerialClicked(true);
        dialog.OnAutoIncrementClicked(true);
        dialog.OnSerialTextEdited("KORVID");
        dialog.OnSerialNumberEdited("00000001");
        dialog.OnStartAddressEdited("00001000");
        return dialog.OnOk().accepted;
    });
    Dialog().OnUpdateProgrammer();
    EXPECT_EQ(LastText(), kUpdateSuccess);
    EXPECT_EQ(Dialog().Job().maxCount, 500);
    EXPECT_EQ(Dialog().Job().serialAddress, 0x1000u + 12);  // the library moves it on

    Dialog().OnDump();
    EXPECT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(Image().size(), 256u);
    EXPECT_EQ(Shown().source, "读取信息完成 !");

    const std::string path = FilePath("dump.kpj");
    view_.saveFiles = {path};
    Dialog().OnSaveKpj();
    EXPECT_EQ(view_.messages.size(), 2u);
    EXPECT_GT(std::filesystem::file_size(path), 256u);
    view_.saveFiles = {FilePath("missing/dump.kpj")};
    Dialog().OnSaveKpj();
    EXPECT_EQ(LastText().rfind("无法建立或写入 \"", 0), 0u);
}

// The progress counts the firmware bytes the library reports up to the whole image.
TEST_F(OutdatedProgrammer, IsReflashedBehindTheProgressDialogAndThenProgrammed) {
    UpdateTargetAcceptingTheReflash();
    ASSERT_FALSE(view_.progressStates.empty());
    std::vector<uint32_t> values;
    for (const ReflashProgress::State& s : view_.progressStates) {
        values.push_back(s.barValue);
    }
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_GT(view_.progressStates.back().barMaximum, 0u);
    EXPECT_EQ(values.back(), view_.progressStates.back().barMaximum);
    Dialog().OnUpdateTarget();  // up to date now: no question
    EXPECT_EQ(view_.messages.size(), 3u);
    EXPECT_EQ(LastText(), kUpdateSuccess);
}

// The library says why the programmer cannot be opened, so the dialog names the
// fix, for a simulated programmer as for a real one.
TEST_F(NotAccessibleProgrammer, NotFoundComesWithTheFix) {
    LoadHex();
    Dialog().OnUpdateTarget();
    const core::TextPair* advice = core::AccessAdviceText(KORVID_ACCESS_DENIED);
    ASSERT_NE(advice, nullptr);
    EXPECT_EQ(LastText(), kNotFound + "\n" + advice->chinese);
    Dialog().OnDump();
    EXPECT_EQ(LastText(), kNotFound + "\n" + advice->chinese);
}

// A programmer a cut-short re-flash left in firmware-update mode is re-flashed from
// the dialog when it asks, and then programs the target.
TEST_F(StrandedProgrammer, IsReflashedFromTheDialogAndThenProgrammed) {
    UpdateTargetAcceptingTheReflash();
}

TEST_F(NoProgrammer, EveryProgrammerCommandSaysNotFound) {
    LoadHex();
    Dialog().OnUpdateTarget();
    EXPECT_EQ(LastFirstLine(), kNotFound);
    EXPECT_EQ(view_.messages.back().icon, MessageIcon::Error);
    Dialog().OnUpdateProgrammer();
    EXPECT_EQ(LastFirstLine(), kNotFound);
    Dialog().OnDump();
    EXPECT_EQ(LastFirstLine(), kNotFound);
    EXPECT_EQ(view_.messages.size(), 3u);
}

}  // namespace
}  // namespace korvid::workbench
