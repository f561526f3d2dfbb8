// Every subcommand's success path, run as a process against the simulated programmers.
#include "korvid_runner.h"

#include "code_file.h"
#include "code_image.h"
#include "intel_hex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<unsigned char> Pattern(std::size_t bytes) {
    std::vector<unsigned char> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        data[i] = static_cast<unsigned char>(i * 13 + 5);
    }
    return data;
}

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        bin = dir + "/code.bin";
        WriteBytes(bin, Pattern(0x1000));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
    std::string bin;
};

TEST_F(CommandTest, PartsListsTheCatalogueWithDescriptionsInUtf8) {
    const Outcome all = RunKorvid({"--json", "parts"});
    ASSERT_EQ(all.exitStatus, 0) << all.err;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 44);
    EXPECT_THAT(
        all.out,
        HasSubstr(R"({"name":"Part A1","series":"Series A","flashSize":14336,"iapStart":4096,)"
                  R"("options":[{"name":"FZWDTCR","description":"仅上电重置看门狗"})"));
    const Outcome seriesF = RunKorvid({"parts", "--series", "Series F"});
    ASSERT_EQ(seriesF.exitStatus, 0);
    EXPECT_THAT(seriesF.out, HasSubstr("Part F10  Series F  flash 0xFA00  IAP start 0xF000\n    "
                                       "KEEP IAP-DATA  保留 IAP-资料"));
    EXPECT_THAT(seriesF.out, ::testing::Not(HasSubstr("Part A1")));
    EXPECT_THAT(seriesF.calls, IsEmpty());
}

TEST_F(CommandTest, DetectNamesEachModelAndItsIdentifier) {
    const Outcome hid = RunKorvid({"--json", "detect"}, kHid);
    ASSERT_EQ(hid.exitStatus, 0) << hid.err;
    EXPECT_THAT(
        hid.out,
        HasSubstr(
            R"("model":"HID programmer","serial":"SIM0001","node":"sim-hid-0","updateMode":false,"accessible":true,"identifier":"0x0603","firmwareMatches":true,"ok":true)"));
    const Outcome pipe = RunKorvid({"detect"}, kPipe);
    EXPECT_EQ(pipe.out,
              "0-1  older pipe programmer, serial SIM0001, identifier 0x0551, accessible, firmware "
              "matches\n");
    const Outcome outdated = RunKorvid({"--json", "detect"}, {{"KORVID_SIMULATE", "hid-old"}});
    EXPECT_EQ(outdated.exitStatus, 0);
    EXPECT_THAT(outdated.out, HasSubstr(R"("firmwareMatches":false)"));
}

TEST_F(CommandTest, ProgramsTheTargetOnBothModels) {
    for (const auto& env : {kHid, kPipe}) {
        const Outcome run = RunKorvid(
            {"--json", "program", bin, "--part", "Part A1", "--option", "KEEP IAP-DATA"}, env);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_THAT(
            run.out,
            HasSubstr(
                R"("command":"program","ok":true,"exitStatus":0,"resultCode":0,"message":"Update success !","location":"0-1","programmerSerial":"SIM0001","part":"Part A1")"));
        EXPECT_THAT(run.out, HasSubstr(R"("codeLength":4096)"));
        EXPECT_THAT(run.out, HasSubstr(R"("options":["KEEP IAP-DATA"])"));
        EXPECT_THAT(run.calls, ElementsAre("UpdateMCU"));
    }
}

TEST_F(CommandTest, StoresAJobWithSerialNumbersAndReportsTheAdvancedAddress) {
    const Outcome run =
        RunKorvid({"--json", "program", bin, "-p", "Part A4", "--store", "--max-count", "65530",
                   "--serial-text", "LINE-7", "--serial-number", "1A2B", "--serial-address", "F000",
                   "--auto-increment"},
                  kHid);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr(R"("command":"store","ok":true)"));
    EXPECT_THAT(
        run.out,
        HasSubstr(
            R"("maxCount":65530,"serialNumbers":true,"serialText":"LINE-7      ","serialNumber":"0x00001A2B","autoIncrement":true,"serialAddress":"0x0000F000","nextSerialAddress":"0x0000F00C")"));
    const Outcome plain =
        RunKorvid({"program", bin, "-p", "Part A4", "--store", "--max-count", "3"}, kPipe);
    EXPECT_EQ(plain.exitStatus, 0) << plain.err;
    EXPECT_EQ(plain.out, "Update success ! Job stored: max count 3\n");
}

TEST_F(CommandTest, DataAreaLoadsAtTheIapStartAndTruncatesOnlyWhenAsked) {
    const Outcome data = RunKorvid({"--json", "program", bin, "-p", "Part A1", "--data"}, kHid);
    ASSERT_EQ(data.exitStatus, 0) << data.err;
    EXPECT_THAT(data.out, HasSubstr(R"("codeLength":8192)"));  // 0x1000 + 0x1000
    const Outcome cut = RunKorvid(
        {"--json", "program", bin, "-p", "Part A1", "--address", "3000", "--truncate"}, kHid);
    ASSERT_EQ(cut.exitStatus, 0) << cut.err;
    EXPECT_THAT(cut.out, HasSubstr(R"("codeLength":14336)"));
    EXPECT_THAT(cut.out, HasSubstr(R"("truncated":true)"));
}

TEST_F(CommandTest, DumpsToTheTerminalAndToAFile) {
    const Outcome screen = RunKorvid({"dump"}, kHid);
    ASSERT_EQ(screen.exitStatus, 0) << screen.err;
    EXPECT_EQ(std::count(screen.out.begin(), screen.out.end(), '\n'), 16);
    EXPECT_THAT(screen.out, testing::StartsWith("0000  "));
    const std::string file = dir + "/info.bin";
    const Outcome raw = RunKorvid({"--json", "dump", "-o", file}, kPipe);
    ASSERT_EQ(raw.exitStatus, 0) << raw.err;
    EXPECT_EQ(ReadBytes(file).size(), 256u);
    EXPECT_THAT(
        raw.out,
        HasSubstr(
            R"("message":"Dump Information ok !","location":"0-1","programmerSerial":"SIM0001","file":)"));
}

TEST_F(CommandTest, ReflashesThePipeProgrammerAloneAndOnMismatch) {
    const std::map<std::string, std::string> outdated{{"KORVID_SIMULATE", "pipe-old"}};
    const Outcome flash = RunKorvid({"--json", "update-firmware"}, outdated);
    ASSERT_EQ(flash.exitStatus, 0) << flash.err;
    EXPECT_THAT(
        flash.out,
        HasSubstr(
            R"("command":"update-firmware","ok":true,"exitStatus":0,"resultCode":0,"message":"Update success !")"));
    const Outcome program =
        RunKorvid({"program", bin, "-p", "Part A1", "--update-firmware"}, outdated);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_THAT(program.calls, ElementsAre("UpdateMCU", "UpdateFW", "UpdateMCU"));
    EXPECT_THAT(program.err, HasSubstr("Re-flashing the programmer"));
}

TEST_F(CommandTest, SavesShowsAndProgramsAProject) {
    const std::string kpj = dir + "/job.kpj";
    const Outcome save =
        RunKorvid({"kpj", "save", bin, "-p", "Part C1", "--option", "KEEP IAP-DATA", "-o", kpj});
    ASSERT_EQ(save.exitStatus, 0) << save.err;
    EXPECT_THAT(save.calls, IsEmpty());
    const Outcome show = RunKorvid({"--json", "kpj", "show", kpj});
    ASSERT_EQ(show.exitStatus, 0) << show.err;
    EXPECT_THAT(
        show.out,
        HasSubstr(R"("magic":"Vostrel. ISP-ICP","codeName":"code.bin","codeLength":4096,)"));
    EXPECT_THAT(
        show.out,
        HasSubstr(
            R"("deviceCode":"0x000B","part":"Part C1","icp":false,"ispOptionByte":"0xBD","options":["KEEP IAP-DATA"],"programArea":"AP","constant":8,"icpConfiguration":"FF FF FF FF FF FF FF FF")"));
    EXPECT_THAT(show.out, HasSubstr(R"("version":"0x0710","toolCode":3,)"));
    EXPECT_THAT(show.out, HasSubstr(R"("footerLength":61})"));
    const Outcome program = RunKorvid({"--json", "program", kpj}, kHid);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_THAT(program.out, HasSubstr(R"("part":"Part C1")"));
    EXPECT_THAT(program.out, HasSubstr(R"("options":["KEEP IAP-DATA"])"));
}

// Part B17 and B18 share their device codes with Part B13 and B15, and a project
// stores only the code: it is read as the part whose flash holds its code, --part
// may name any part with the code, and no more than the part's flash is ever sent.
TEST_F(CommandTest, AProjectOfAPartThatSharesItsDeviceCodeIsProgrammedAsThatPart) {
    const std::string big = dir + "/c32k.bin";
    const std::vector<unsigned char> bigImage = Pattern(0x8000);
    WriteBytes(big, bigImage);
    const std::string b18 = dir + "/b18.kpj";
    ASSERT_EQ(RunKorvid({"kpj", "save", big, "--part", "Part B18", "-o", b18}).exitStatus, 0);
    const Outcome show = RunKorvid({"kpj", "show", b18});
    EXPECT_THAT(show.out, HasSubstr("Device code:           0x0035 (Part B18)\n"));
    const Outcome program = RunKorvid({"--json", "program", b18}, kHid);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_THAT(program.out, HasSubstr(R"("part":"Part B18")"));
    EXPECT_EQ(program.programmed.size(), 0x8000u);

    // Named as a part of the same code whose flash is shorter: cut only when asked.
    const Outcome tooLarge = RunKorvid({"program", b18, "--part", "Part B15"}, kHid);
    EXPECT_EQ(tooLarge.exitStatus, 5);
    EXPECT_THAT(tooLarge.err, HasSubstr("0x8000 bytes at 0x0, flash ends at 0x5A00"));
    EXPECT_THAT(tooLarge.calls, IsEmpty());
    const Outcome cut =
        RunKorvid({"--json", "program", b18, "--part", "Part B15", "--truncate"}, kHid);
    ASSERT_EQ(cut.exitStatus, 0) << cut.err;
    EXPECT_THAT(cut.out, HasSubstr(R"("part":"Part B15")"));
    EXPECT_THAT(cut.out, HasSubstr(R"("truncated":true)"));
    EXPECT_EQ(cut.programmed,
              std::vector<unsigned char>(bigImage.begin(), bigImage.begin() + 0x5A00));

    // A small Part B17 project reads as Part B13, and may be programmed as Part B17.
    const std::string b17 = dir + "/b17.kpj";
    ASSERT_EQ(RunKorvid({"kpj", "save", bin, "--part", "Part B17", "-o", b17}).exitStatus, 0);
    const Outcome asB17 = RunKorvid({"--json", "program", b17, "--part", "part b17"}, kHid);
    ASSERT_EQ(asB17.exitStatus, 0) << asB17.err;
    EXPECT_THAT(asB17.out, HasSubstr(R"("part":"Part B17")"));
    const Outcome other = RunKorvid({"program", b17, "--part", "Part A1"}, kHid);
    EXPECT_EQ(other.exitStatus, 3);
    EXPECT_THAT(other.err, HasSubstr("the project is for Part B13, Part B17, not \"Part A1\""));
    EXPECT_THAT(other.calls, IsEmpty());
}

TEST_F(CommandTest, ConvertIsByteIdenticalToTheDialogsLoad) {
#if defined(_WIN32)
    GTEST_SKIP() << "srec_cat of the build machine cannot be started under wine";
#else
    // A file with gaps, an extended linear address record and lower-case digits.
    const std::string hex = dir + "/gaps.hex";
    WriteBytes(dir + "/a.bin", Pattern(300));
    ASSERT_EQ(std::system(("cd '" + dir +
                           "' && srec_cat a.bin -binary -offset 0x10 a.bin -binary -offset 0x2000 "
                           "-o gaps.hex -intel -address-length=4 -output_block_size=32")
                              .c_str()),
              0);
    const std::string out = dir + "/gaps.out";
    const Outcome run = RunKorvid({"convert", hex, out});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const auto file = core::ReadCodeFile(hex);
    const auto parsed =
        core::ParseIntelHex(
            std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()))
            .bytes;
    const std::vector<uint8_t> dialog = core::OverlayImage({}, parsed, 0);
    const auto converted = ReadBytes(out);
    EXPECT_EQ(std::vector<uint8_t>(converted.begin(), converted.end()), dialog);
    EXPECT_EQ(converted.size(), 0x2000u + 300u);
#endif
}

}  // namespace
}  // namespace korvid::cli::test
