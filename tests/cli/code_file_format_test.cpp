// How program, kpj save and convert read a code file: Intel HEX by its extensions
// (HEX, IHX, IHEX) and by its content, --format over the extension, and the refusals
// when content and format disagree. The image the programmer is handed is compared
// with objcopy's conversion of a file sdcc writes at test time.
#include "korvid_runner.h"
#if !defined(_WIN32)
#include "toolchain_files.h"
#endif

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A jump at 0 and the end record: the image is 02 01 00 and thirteen zeros.
const std::string kHexText = ":1000000002010000000000000000000000000000ED\n:00000001FF\n";

std::vector<unsigned char> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<unsigned char> HexTextImage() {
    std::vector<unsigned char> image(16, 0x00);
    image[0] = 0x02;
    image[1] = 0x01;
    return image;
}

class CodeFileFormatTest : public ::testing::Test {
protected:
    void SetUp() override { dir = ScratchDir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        WriteBytes(dir + "/" + name, bytes);
        return dir + "/" + name;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir;
};

TEST_F(CodeFileFormatTest, SdccOutputIsProgrammedAsObjcopyConvertsIt) {
#if defined(_WIN32)
    GTEST_SKIP() << "sdcc and objcopy of the build machine cannot be started under wine";
#else
    const std::string ihx = toolchain::CompileWithSdcc(dir, "main", toolchain::kSdccBlinkProgram);
    const std::vector<uint8_t> objcopy = toolchain::ObjcopyImage(ihx);
    ASSERT_GT(objcopy.size(), 16u);
    const std::vector<unsigned char> reference(objcopy.begin(), objcopy.end());

    const Outcome program = RunKorvid({"program", ihx, "--part", "Part A1"}, kHid);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_THAT(program.calls, ElementsAre("UpdateMCU"));
    EXPECT_TRUE(program.programmed == reference);

    // Upper case and the longer extension read alike.
    std::filesystem::copy_file(ihx, dir + "/MAIN.IHEX");
    const Outcome upper = RunKorvid({"program", dir + "/MAIN.IHEX", "-p", "Part A1"}, kHid);
    ASSERT_EQ(upper.exitStatus, 0) << upper.err;
    EXPECT_TRUE(upper.programmed == reference);

    // A project saved from the .ihx carries the same image.
    const std::string kpj = dir + "/main.kpj";
    const Outcome save = RunKorvid({"kpj", "save", ihx, "-p", "Part A1", "-o", kpj});
    ASSERT_EQ(save.exitStatus, 0) << save.err;
    const Outcome project = RunKorvid({"program", kpj}, kHid);
    ASSERT_EQ(project.exitStatus, 0) << project.err;
    EXPECT_TRUE(project.programmed == reference);

    const Outcome convert = RunKorvid({"convert", ihx, dir + "/main.bin"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    EXPECT_TRUE(ReadBytes(dir + "/main.bin") == reference);
#endif
}

TEST_F(CodeFileFormatTest, IntelHexTextUnderAnotherNameIsRefusedUntilFormatSaysHowToReadIt) {
    for (const char* name : {"code.bin", "code", "code.txt"}) {
        SCOPED_TRACE(name);
        const std::string file = Write(name, Bytes(kHexText));
        const Outcome program = RunKorvid({"program", file, "-p", "Part A1"}, kHid);
        EXPECT_EQ(program.exitStatus, 8);
        EXPECT_EQ(program.err, "korvid program: \"" + file +
                                   "\" looks like Intel HEX; give --format hex to read it as "
                                   "Intel HEX or --format bin to use its bytes as they are\n");
        EXPECT_THAT(program.calls, IsEmpty());
    }
    const std::string file = dir + "/code.bin";
    const Outcome save =
        RunKorvid({"--json", "kpj", "save", file, "-p", "Part A1", "-o", dir + "/code.kpj"});
    EXPECT_EQ(save.exitStatus, 8);
    EXPECT_THAT(save.out, HasSubstr(R"({"command":"kpj save","ok":false,"exitStatus":8,)"));
    EXPECT_THAT(Files(), ElementsAre("code", "code.bin", "code.txt"));

    const Outcome asHex = RunKorvid({"program", file, "-p", "Part A1", "--format", "hex"}, kHid);
    ASSERT_EQ(asHex.exitStatus, 0) << asHex.err;
    EXPECT_EQ(asHex.programmed, HexTextImage());
    const Outcome asBytes = RunKorvid({"program", file, "-p", "Part A1", "--format", "BIN"}, kHid);
    ASSERT_EQ(asBytes.exitStatus, 0) << asBytes.err;
    EXPECT_EQ(asBytes.programmed, Bytes(kHexText));
}

TEST_F(CodeFileFormatTest, AHexNameOverContentThatIsNotIntelHexIsRefusedUntilFormatSays) {
    const std::vector<unsigned char> binary{0x02, 0x01, 0x00, 0x3A, 0x0A, 0xFF};
    const std::string hex = Write("code.hex", binary);
    const Outcome program = RunKorvid({"program", hex, "-p", "Part A1"}, kHid);
    EXPECT_EQ(program.exitStatus, 7);
    EXPECT_EQ(program.err,
              "korvid program: \"" + hex +
                  "\" is not Intel HEX: its first line that is not empty is not a record with a "
                  "good checksum; give --format bin to use its bytes as they are or --format hex "
                  "to read it as Intel HEX all the same\n");
    EXPECT_THAT(program.calls, IsEmpty());
    const Outcome asBytes = RunKorvid({"program", hex, "-p", "Part A1", "--format", "bin"}, kHid);
    ASSERT_EQ(asBytes.exitStatus, 0) << asBytes.err;
    EXPECT_EQ(asBytes.programmed, binary);

    // A comment before the records: the conversion skips it when told to read it.
    const std::string commented = Write("commented.ihx", Bytes("; by hand\n" + kHexText));
    EXPECT_EQ(RunKorvid({"program", commented, "-p", "Part A1"}, kHid).exitStatus, 7);
    const Outcome asHex =
        RunKorvid({"program", commented, "-p", "Part A1", "--format", "hex"}, kHid);
    ASSERT_EQ(asHex.exitStatus, 0) << asHex.err;
    EXPECT_EQ(asHex.programmed, HexTextImage());
}

TEST_F(CodeFileFormatTest, FormatKpjReadsAProjectUnderAnotherName) {
    const std::string hex = Write("code.hex", Bytes(kHexText));
    const std::string saved = dir + "/job.dat";
    const Outcome save =
        RunKorvid({"kpj", "save", hex, "-p", "Part C1", "--option", "KEEP IAP-DATA", "-o", saved});
    ASSERT_EQ(save.exitStatus, 0) << save.err;
    const Outcome program = RunKorvid({"--json", "program", saved, "--format", "kpj"}, kHid);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_THAT(program.out, HasSubstr(R"("part":"Part C1")"));
    EXPECT_THAT(program.out, HasSubstr(R"("options":["KEEP IAP-DATA"])"));
    EXPECT_EQ(program.programmed, HexTextImage());
    EXPECT_EQ(RunKorvid({"program", saved, "--format", "ihx"}).exitStatus, 2);
}

TEST_F(CodeFileFormatTest, ConvertReadsIntelHexWhateverItsExtension) {
    for (const char* name : {"code.ihx", "code.IHEX", "code.txt", "code"}) {
        SCOPED_TRACE(name);
        const std::string in = Write(name, Bytes("\r\n\n" + kHexText));
        const std::string out = dir + "/out.bin";
        const Outcome run = RunKorvid({"--json", "convert", in, out});
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_THAT(run.out, HasSubstr(R"("size":16,"checksum":"0x0003")"));
        EXPECT_EQ(ReadBytes(out), HexTextImage());
    }
}

TEST_F(CodeFileFormatTest, ConvertRefusesWhatIsNotIntelHexAndLeavesTheOutputAsItWas) {
    const std::vector<unsigned char> previous{'k', 'e', 'e', 'p', 0x00, 0xFF};
    const std::string out = Write("out.bin", previous);
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"image.bin", std::string("\x02\x01\x00\xFF\xFF", 5)},
        {"empty.hex", ""},
        {"blank-line.hex", " \n" + kHexText},
        {"byte-order-mark.hex", "\xEF\xBB\xBF" + kHexText},
        {"bad-checksum.hex", ":1000000002010000000000000000000000000000EE\n"},
        {"trailing-blank.hex", ":00000001FF \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = Write(c.name, Bytes(c.content));
        const Outcome run = RunKorvid({"convert", in, out});
        EXPECT_EQ(run.exitStatus, 7);
        EXPECT_EQ(run.err, "korvid convert: \"" + in +
                               "\" is not Intel HEX: its first line that is not empty is not a "
                               "record with a good checksum; nothing was written to \"" +
                               out + "\"\n");
        EXPECT_EQ(ReadBytes(out), previous);
        std::filesystem::remove(in);
    }
    const std::string in = Write("image.bin", Bytes("\x02\x01"));
    const Outcome json = RunKorvid({"--json", "convert", in, dir + "/new.bin"});
    EXPECT_EQ(json.exitStatus, 7);
    EXPECT_THAT(json.out, HasSubstr(R"({"command":"convert","ok":false,"exitStatus":7,)"));
    EXPECT_THAT(Files(), ElementsAre("image.bin", "out.bin"));  // no new or temporary file
}

// An output named through a symbolic link is written to the file the link names
// (the link stays, the file keeps its mode), and a device such as /dev/stdout is
// written into, never replaced.
TEST_F(CodeFileFormatTest, ConvertWritesThroughALinkAndIntoADevice) {
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links and /dev/stdout are tried on Linux";
#else
    const std::string in = Write("code.hex", Bytes(kHexText));
    const std::string real = Write("real.bin", {'o', 'l', 'd'});
    std::filesystem::permissions(
        real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.bin", dir + "/link.bin");
    ASSERT_EQ(RunKorvid({"convert", in, dir + "/link.bin"}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.bin"));
    EXPECT_EQ(ReadBytes(real), HexTextImage());
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::filesystem::create_symlink("made.bin", dir + "/dangling.bin");
    ASSERT_EQ(RunKorvid({"convert", in, dir + "/dangling.bin"}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/dangling.bin"));
    EXPECT_EQ(ReadBytes(dir + "/made.bin"), HexTextImage());

    // Through a link of its own to /dev/stdout, so that a tool that replaced what it
    // is given, run as root, could only ever replace that link, never one in /dev.
    std::filesystem::create_symlink("/dev/stdout", dir + "/stdout");
    const Outcome toStdout = RunKorvid({"--quiet", "convert", in, dir + "/stdout"});
    ASSERT_EQ(toStdout.exitStatus, 0) << toStdout.err;
    EXPECT_EQ(Bytes(toStdout.out), HexTextImage());
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/stdout"));
    EXPECT_THAT(Files(), ElementsAre("code.hex", "dangling.bin", "link.bin", "made.bin", "real.bin",
                                     "stdout"));
#endif
}

// The second of three data records has a wrong checksum: nothing of the file is
// programmed, converted or saved, and the message names the line.
TEST_F(CodeFileFormatTest, ADamagedIntelHexFileIsRefusedWholeByEveryCommand) {
    const std::string damaged =
        ":1000000002010000000000000000000000000000ED\n"
        ":1000100011111111111111111111111111111111F0\n"
        ":1000200022222222222222222222222222222222B0\n"
        ":00000001FF\n";
    const std::string in = Write("bad.hex", Bytes(damaged));
    const std::string message = "\"" + in + "\",\nline 2: checksum error. Nothing was loaded !";
    const std::vector<unsigned char> previous{'k', 'e', 'e', 'p'};
    const std::string out = Write("out.bin", previous);
    const std::string project = Write("out.kpj", previous);
    const std::vector<std::vector<std::string>> commands{
        {"program", in, "--part", "Part A1"},
        {"program", in, "--part", "Part A1", "--store"},
        {"program", in, "--part", "Part A1", "--repeat"},
        {"convert", in, out},
        {"kpj", "save", in, "--part", "Part A1", "-o", project},
        {"kpj", "save", in, "--part", "Part A1", "-o", dir + "/new.kpj"}};
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0] + " " + command.back());
        const Outcome run = RunKorvid(command, kHid);
        EXPECT_EQ(run.exitStatus, 7);
        EXPECT_THAT(run.err, HasSubstr("Bad Intel HEX file " + message));
        EXPECT_THAT(run.out, IsEmpty());
        EXPECT_THAT(run.calls, IsEmpty());
        const Outcome json = RunKorvid(
            [&] {
                std::vector<std::string> args{"--json"};
                args.insert(args.end(), command.begin(), command.end());
                return args;
            }(),
            kHid);
        EXPECT_EQ(json.exitStatus, 7);
        EXPECT_THAT(json.out, HasSubstr(R"("exitStatus":7)"));
        EXPECT_THAT(json.calls, IsEmpty());
    }
    EXPECT_EQ(ReadBytes(out), previous);
    EXPECT_EQ(ReadBytes(project), previous);
    EXPECT_THAT(Files(), ElementsAre("bad.hex", "out.bin", "out.kpj"));
}

}  // namespace
}  // namespace korvid::cli::test
