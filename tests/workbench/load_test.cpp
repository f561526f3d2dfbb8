// MainDialog: the Load command, project files and Auto Reload.
#include "hex_records.h"
#include "workbench_fixture.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace korvid::workbench {
namespace {

using core::testing::DataRecord;
using core::testing::kEndOfFile;
using testing::kLibraryName;
using testing::WorkbenchTest;

class LoadTest : public WorkbenchTest {};

TEST_F(LoadTest, DataAreaLoadAfterACodeLoadLeavesAGap) {
    Load(WriteFile("code.bin", std::string(0x1000, '\x11')));
    EXPECT_EQ(Image().size(), 0x1000u);
    Load(WriteFile("data.bin", std::string(0x400, '\x22')), "2000");
    EXPECT_EQ(Dialog().InsertAddress(), 0x2000u);
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x2400u);
    EXPECT_EQ(image[0x0FFF], 0x11);
    EXPECT_EQ(image[0x1000], 0xFF);
    EXPECT_EQ(image[0x1FFF], 0xFF);
    EXPECT_EQ(image[0x2000], 0x22);
    EXPECT_EQ(Shown().source, FilePath("data.bin"));
    EXPECT_EQ(Shown().size, "大小:0x2400");
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "校验和:0x%04X",
                  (0x1000 * 0x11 + 0x1000 * 0xFF + 0x400 * 0x22) & 0xFFFF);
    EXPECT_EQ(Shown().checksum, checksum);
    EXPECT_STREQ(Dialog().Job().codeName, "data.bin");
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(view_.openFilters.front(),
              (std::vector<FileFilter>{{"Intel Hex/Binary", {"*.hex", "*.ihx", "*.bin"}},
                                       {"Vostrel project file", {"*.kpj"}},
                                       {"All files", {"*"}}}));
}

TEST_F(LoadTest, ShorterFileOverALongerImageReplacesOnlyItsFirstBytes) {
    Load(WriteFile("long.bin", std::string(0x100, '\x11')));
    Load(WriteFile("short.bin", std::string(0x10, '\x22')));
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x100u);
    EXPECT_EQ(image[0x0F], 0x22);
    EXPECT_EQ(image[0x10], 0x11);
}

TEST_F(LoadTest, IntelHexExtensionsInAnyCaseAreConvertedOthersAreRaw) {
    const std::string hex = DataRecord(0x1230, {1, 2, 3, 4}) + kEndOfFile;
    for (const std::string name : {"gaps.HeX", "gaps.ihx", "gaps.IHEX"}) {
        Restart();
        Load(WriteFile(name, hex));
        const std::vector<uint8_t> image = Image();
        ASSERT_EQ(image.size(), 0x1234u) << name;
        EXPECT_EQ(image[0], 0xFF);
        EXPECT_EQ(image[0x1233], 4);
    }

    Choose("Series A", "Part A2");
    Load(WriteFile("raw.txt", hex));
    EXPECT_EQ(Image().size(), hex.size());
    Load(WriteFile("noextension", "AB"));
    EXPECT_EQ(Image()[0], 'A');
}

// An Intel HEX file with a damaged record is refused whole, with its line, in
// the display language; the image, the status and the Auto Reload file stay.
TEST_F(LoadTest, DamagedIntelHexIsRefusedWholeWithItsLine) {
    const std::string good = WriteFile("good.bin", std::string(4, '\x01'));
    Load(good);
    std::string damaged = DataRecord(0, std::vector<uint8_t>(16, 0x11)) +
                          DataRecord(16, std::vector<uint8_t>(16, 0x22)) +
                          DataRecord(32, std::vector<uint8_t>(16, 0x33)) + kEndOfFile;
    damaged[damaged.find("\r\n:") - 1] ^= 1;  // the first record's checksum
    const std::string bad = WriteFile("bad.hex", damaged);
    Load(bad);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(view_.messages[0].text,
              "Intel HEX 文件 \"" + bad + "\" 有误,\n第 1 行: 校验和错误。未载入任何数据 !");
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x01));
    EXPECT_EQ(Shown().source, good);
    EXPECT_EQ(Dialog().ReloadPath(), good);
    EXPECT_STREQ(Dialog().Job().codeName, "good.bin");

    Dialog().OnLanguageChosen(Language::English);
    Load(bad);
    EXPECT_EQ(view_.messages.back().text,
              "Bad Intel HEX file \"" + bad + "\",\nline 1: checksum error. Nothing was loaded !");
}

// Auto Reload of a file that was damaged meanwhile (half written by an editor, say)
// says so and changes nothing; once the file is whole again it is reloaded.
TEST_F(LoadTest, AutoReloadOfADamagedFileChangesNothing) {
    const std::string path = WriteFile("live.hex", DataRecord(0, {1, 2}) + kEndOfFile);
    Load(path);
    Dialog().OnAutoReloadClicked(true);
    WriteFile("live.hex", DataRecord(0, {3, 4}) + ":0100000");  // cut short
    Dialog().OnActivated();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_NE(view_.messages[0].text.find("第 2 行"), std::string::npos) << view_.messages[0].text;
    EXPECT_EQ(Image(), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(Dialog().ReloadPath(), path);
    EXPECT_EQ(Shown().source, path);
    WriteFile("live.hex", DataRecord(0, {3, 4}) + kEndOfFile);
    Dialog().OnActivated();
    EXPECT_EQ(Image(), (std::vector<uint8_t>{3, 4}));
    EXPECT_EQ(view_.messages.size(), 1u);
}

TEST_F(LoadTest, HexWithoutDataGrowsTheImageToTheInsertAddress) {
    Load(WriteFile("empty.hex", kEndOfFile), "1000");
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x1000u);
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_STREQ(Dialog().Job().codeName, "empty.hex");
    EXPECT_EQ(Shown().size, "大小:0x1000");
}

TEST_F(LoadTest, TooLargeFileAsksAndOkCutsItAtTheFlashEnd) {
    const std::string big = WriteFile("big.bin", std::string(0x3900, '\x33'));
    view_.answers.push_back(MessageAnswer::Ok);
    Load(big, "3000");
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0],
              (Message{MessageIcon::Warning, kLibraryName, "文件太大，多余的文件数据将被截去 !",
                       MessageButtons::OkCancel, MessageAnswer::Cancel}));
    EXPECT_EQ(Image().size(), 0x3800u);
    EXPECT_EQ(Image()[0x3000], 0x33);
    EXPECT_EQ(Dialog().ReloadPath(), big);
}

// A file whose load the user cancelled at the size question is not loaded, and
// so is not what Auto Reload reads on the next activation either.
TEST_F(LoadTest, CancelledTooLargeFileLeavesImageAndReloadFile) {
    const std::string small = WriteFile("small.bin", std::string(4, '\x01'));
    Load(small);
    Dialog().OnAutoReloadClicked(true);
    view_.answers.push_back(MessageAnswer::Cancel);
    Load(WriteFile("big.bin", std::string(0x3900, '\x33')));
    EXPECT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(Dialog().ReloadPath(), small);
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x01));
    EXPECT_EQ(Shown().source, small);

    Dialog().OnActivated();
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x01));
    EXPECT_EQ(view_.messages.size(), 1u);
}

TEST_F(LoadTest, CancelledAreaDialogLeavesTheDefaultDataAddress) {
    view_.areaAnswers.push_back([](AreaDialog&) { return false; });
    Dialog().OnLoad();
    EXPECT_EQ(Dialog().InsertAddress(), 0x1000u);  // Part A1's IAP start
    EXPECT_TRUE(view_.openFilters.empty());
    EXPECT_EQ(view_.ranDialogs, std::vector<std::string>{"area"});
}

TEST_F(LoadTest, CancelledFileDialogLoadsNothing) {
    view_.openFiles.push_back(std::string());
    Dialog().OnLoad();
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(Image().size(), 0u);
}

TEST_F(LoadTest, InsertAddressOverTheChipSizeIsRefused) {
    Load(WriteFile("code.bin", "x"), "3800");
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0], (Message{MessageIcon::Error, kLibraryName, "插入位置超过 !",
                                          MessageButtons::Ok, MessageAnswer::Ok}));
    EXPECT_TRUE(view_.openFilters.empty());
}

TEST_F(LoadTest, UnreadableFileIsReportedWithItsCause) {
    const std::string missing = FilePath("missing.hex");
    Load(missing);
    Load(dir_.path().string());
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[0].text, "不能打开 \"" + missing + "\",\nError code = 2");
    EXPECT_EQ(view_.messages[1].text, "不能打开 \"" + dir_.path().string() + "\",\nError code = 5");
    EXPECT_TRUE(Dialog().ReloadPath().empty());
    EXPECT_FALSE(CodeCommandsEnabled());
}

// Writes a project through the library, as "Save *.KPJ" does.
std::string SaveProject(const std::string& path, int32_t partIndex, uint32_t optionStates,
                        const char* codeName, std::vector<uint8_t> code) {
    JobRecord job{};
    std::strncpy(job.codeName, codeName, sizeof job.codeName - 1);
    job.partIndex = partIndex;
    job.optionStates[0] = optionStates;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    EXPECT_EQ(SaveKPJ(path.c_str(), &job, 0), RC_OK);
    return path;
}

TEST_F(LoadTest, ProjectLoadSelectsItsPartAndKeepsTheImageFilesCodeName) {
    Load(WriteFile("first.bin", std::string(8, '\x01')));
    Dialog().OnOptionClicked(0, true);  // set on the current part; the project has it off

    const std::string project =
        SaveProject(FilePath("job.KPJ"), 1, 0b01010, "project.hex", std::vector<uint8_t>(0x20, 0x42));
    Load(project);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(SelectedPart(), "Part A2");
    EXPECT_EQ(Dialog().Job().partIndex, 1);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b01010u);
    EXPECT_FALSE(Shown().options[0].checked);
    EXPECT_TRUE(Shown().options[1].checked);
    EXPECT_TRUE(Shown().options[3].checked);
    EXPECT_EQ(Image(), std::vector<uint8_t>(0x20, 0x42));
    EXPECT_EQ(Shown().source, project + " (代码名称: \"project.hex\")");
    EXPECT_EQ(Shown().size, "大小:0x20");
    EXPECT_EQ(Shown().checksum, "校验和:0x0840");
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_STREQ(Dialog().Job().codeName, "first.bin");
    EXPECT_TRUE(Dialog().ReloadPath().empty());  // the part change emptied it

    // Saving now stores the image file's code name, not the project's.
    const std::string saved = FilePath("again.kpj");
    view_.saveFiles.push_back(saved);
    Dialog().OnSaveKpj();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    EXPECT_STREQ(programmer_.calls[0].job.codeName, "first.bin");
}

// A loaded file's name goes into the job in code page 936, as the programmer's
// Windows software writes it; a project's code name is shown whether it was
// written so or in UTF-8 by an earlier version.
TEST_F(LoadTest, CodeNamesAreStoredInCodePage936AndShownInEitherEncoding) {
    Load(WriteFile("测试程序.hex", kEndOfFile));
    EXPECT_EQ(std::string(Dialog().Job().codeName),
              "\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2.hex");
    view_.saveFiles.push_back(FilePath("saved.kpj"));
    Dialog().OnSaveKpj();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    EXPECT_STREQ(programmer_.calls[0].job.codeName, Dialog().Job().codeName);

    for (const char* stored : {"\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2.hex", "测试程序.hex"}) {
        const std::string project = SaveProject(FilePath("named.kpj"), 0, 0, stored, {1});
        Load(project);
        EXPECT_EQ(Shown().source, project + " (代码名称: \"测试程序.hex\")") << stored;
    }
}

TEST_F(LoadTest, ProjectForTheSamePartTakesExactlyItsOptions) {
    Dialog().OnOptionClicked(0, true);
    Load(SaveProject(FilePath("same.kpj"), 0, 0b00100, "same", {1, 2}));
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b00100u);
    EXPECT_FALSE(Shown().options[0].checked);
    EXPECT_TRUE(Shown().options[2].checked);
}

// Code longer than the project's part holds is never handed on whole: the load
// asks as for a file that is too large.
TEST_F(LoadTest, ProjectLongerThanItsPartsFlashAsks) {
    const std::string project =  // Part A1 has 0x3800 bytes of flash
        SaveProject(FilePath("long.kpj"), 0, 0, "long.bin", std::vector<uint8_t>(0x3900, 7));
    Choose("Series B", "Part B2");
    view_.answers.push_back(MessageAnswer::Cancel);
    Load(project);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "文件太大，多余的文件数据将被截去 !");
    EXPECT_EQ(SelectedPart(), "Part B2");
    EXPECT_EQ(Image().size(), 0u);

    view_.answers.push_back(MessageAnswer::Ok);
    Load(project);
    EXPECT_EQ(SelectedPart(), "Part A1");
    EXPECT_EQ(Image().size(), 0x3800u);
    EXPECT_EQ(Shown().size, "大小:0x3800");
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls.back().code.size(), 0x3800u);
}

// Parts B17 and B18 share their device codes with B13 and B15, and a project
// stores only the device code: the part taken is the one whose flash holds the
// project's code.
TEST_F(LoadTest, ProjectOfAPartSharingItsDeviceCodeSelectsThePartThatHoldsIt) {
    Choose("Series B", "Part B18");
    const int32_t partB18 = Dialog().Job().partIndex;
    const std::string project =
        SaveProject(FilePath("b18.kpj"), partB18, 0, "c32k.bin", std::vector<uint8_t>(0x8000, 5));
    Choose("Series A", "Part A1");
    Load(project);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(SelectedPart(), "Part B18");
    EXPECT_EQ(Image().size(), 0x8000u);
}

TEST_F(LoadTest, RefusedProjectsShowTheirMessageAndChangeNothing) {
    Load(WriteFile("code.bin", std::string(4, '\x07')));
    const std::string missing = FilePath("missing.kpj");
    Load(missing);
    Load(WriteFile("junk.kpj", std::string(300, '\x00')));
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[0].text, "不能打开 \"" + missing + "\" !");
    EXPECT_EQ(view_.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(view_.messages[1].caption, kLibraryName);
    const std::vector<std::string> refusals{
        "Vostrel脚本检测出错 !", "工具不匹配，请使用合适的工具 !",
        "应用程序版本不匹配，请与Vostrel代理联系 !", "错误的代码大小或者校验和错误 !",
        "不是 \"8051 ISP-ICP编程器\" KPJ文件 !"};
    EXPECT_NE(std::find(refusals.begin(), refusals.end(), view_.messages[1].text), refusals.end())
        << view_.messages[1].text;
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x07));
    EXPECT_STREQ(Dialog().Job().codeName, "code.bin");
}

TEST_F(LoadTest, AutoReloadReadsTheFileAgainOnActivation) {
    const std::string path = WriteFile("live.bin", std::string(4, '\x01'));
    Load(path);
    Dialog().OnActivated();  // Auto Reload off: nothing happens
    WriteFile("live.bin", std::string(0x3900, '\x02'));
    Dialog().OnActivated();
    EXPECT_EQ(Image().size(), 4u);

    Dialog().OnAutoReloadClicked(true);
    Dialog().OnActivated();  // grown past the flash: cut without asking
    EXPECT_EQ(Image().size(), 0x3800u);
    EXPECT_EQ(Image()[0x37FF], 0x02);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(Shown().source, path);
    EXPECT_EQ(Shown().size, "大小:0x3800");

    std::filesystem::remove(path);
    Dialog().OnActivated();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "不能打开 \"" + path + "\",\nError code = 2");
    EXPECT_TRUE(Dialog().ReloadPath().empty());
    EXPECT_TRUE(Shown().source.empty());
    Dialog().OnActivated();  // no further attempts
    EXPECT_EQ(view_.messages.size(), 1u);
}

TEST_F(LoadTest, AutoReloadConvertsByTheSameExtensions) {
    const std::string path = WriteFile("live.Ihx", DataRecord(0, {1, 2}));
    Load(path);
    Dialog().OnAutoReloadClicked(true);
    WriteFile("live.Ihx", DataRecord(0, {3, 4, 5}) + kEndOfFile);
    Dialog().OnActivated();
    EXPECT_EQ(Image(), (std::vector<uint8_t>{3, 4, 5}));
    EXPECT_EQ(Shown().checksum, "校验和:0x000C");
}

TEST_F(LoadTest, AutoReloadAfterACancelledAreaDialogUsesTheDataAddress) {
    Load(WriteFile("data.bin", std::string(2, '\x09')));
    view_.areaAnswers.push_back([](AreaDialog&) { return false; });
    Dialog().OnLoad();
    Dialog().OnAutoReloadClicked(true);
    Dialog().OnActivated();
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x1002u);
    EXPECT_EQ(image[0], 0x09);
    EXPECT_EQ(image[0x1001], 0x09);
}

// No reload while the load command's own dialogs are up.
TEST_F(LoadTest, NoAutoReloadDuringALoad) {
    Load(WriteFile("live.bin", std::string(4, '\x01')));
    Dialog().OnAutoReloadClicked(true);
    WriteFile("live.bin", std::string(4, '\x02'));
    view_.areaAnswers.push_back([this](AreaDialog&) {
        Dialog().OnActivated();
        return false;
    });
    Dialog().OnLoad();
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x01));
    Dialog().OnActivated();  // at the data address the cancelled load left
    ASSERT_EQ(Image().size(), 0x1004u);
    EXPECT_EQ(Image()[0x1000], 0x02);
}

}  // namespace
}  // namespace korvid::workbench
