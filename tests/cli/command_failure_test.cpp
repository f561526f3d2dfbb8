// Every result code reaching its exit status and message, and bad input refused
// before anything is sent to the programmer.
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct ResultCase {
    int code;
    int exitStatus;
    const char* updateMessage;
    const char* dumpMessage;
};

const ResultCase kResults[] = {
    {0xE0, 10, "Update fail !", "Dump Information failed !"},
    {0xE2, 13, "Device reset error ! Update F/W fail !", "Device reset error ! Update F/W fail !"},
    {0xE3, 14, "Update programmer F/W fail !", "Update programmer F/W fail !"},
    {0xE4, 15, "Result checksum error ! Update fail !", "Dump Information failed !"},
    {0xE5, 16, "Target is lock ! Update fail !", "Dump Information failed !"},
    {0xEF, 18, "Not find resource !", "Not find resource !"},
    {0xF0, 19, "Update fail !", "Dump Information failed !"},
    {0x99, 20, "Update fail !", "Dump Information failed !"},
};

class FailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        bin = dir + "/code.bin";
        WriteBytes(bin, std::vector<unsigned char>(0x800, 0x5A));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::map<std::string, std::string> Fake(const std::string& function,
                                            const std::string& codes) const {
        return {{"KORVID_SIMULATE", "hid"}, {"KORVID_FAKE_" + function, codes}};
    }
    std::string dir;
    std::string bin;
};

std::string Expected(const ResultCase& c, const char* command, const char* message) {
    return "{\"command\":\"" + std::string(command) +
           "\",\"ok\":false,\"exitStatus\":" + std::to_string(c.exitStatus) +
           ",\"resultCode\":" + std::to_string(c.code) + ",\"message\":\"" + message + "\"}\n";
}

TEST_F(FailureTest, EveryProgrammerResultHasItsExitStatusAndMessage) {
    for (const ResultCase& c : kResults) {
        SCOPED_TRACE(c.code);
        const Outcome program = RunKorvid({"--json", "program", bin, "-p", "Part A1"},
                                          Fake("UPDATEMCU", std::to_string(c.code)));
        EXPECT_EQ(program.exitStatus, c.exitStatus);
        EXPECT_EQ(program.out, Expected(c, "program", c.updateMessage));
        const Outcome dump =
            RunKorvid({"--json", "dump"}, Fake("DUMPMCUINFO", std::to_string(c.code)));
        EXPECT_EQ(dump.exitStatus, c.exitStatus);
        EXPECT_EQ(dump.out, Expected(c, "dump", c.dumpMessage));
        const Outcome flash =
            RunKorvid({"--json", "update-firmware"}, Fake("UPDATEFW", std::to_string(c.code)));
        EXPECT_EQ(flash.exitStatus, c.exitStatus);
        EXPECT_EQ(flash.out, Expected(c, "update-firmware", c.updateMessage));
    }
}

TEST_F(FailureTest, HumanOutputNamesTheResultCodeOnStderr) {
    const Outcome run = RunKorvid({"program", bin, "-p", "Part A1"}, Fake("UPDATEMCU", "0xE4"));
    EXPECT_EQ(run.exitStatus, 15);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "korvid program: Result checksum error ! Update fail ! (result code 228, 0xE4)\n");
}

TEST_F(FailureTest, NoProgrammerIsReportedWithItsOwnStatus) {
    const Outcome run =
        RunKorvid({"--json", "program", bin, "-p", "Part A1"}, Fake("UPDATEMCU", "0xE1"));
    EXPECT_TRUE(run.exitStatus == 11 || run.exitStatus == 12) << run.exitStatus;
    EXPECT_THAT(run.out, HasSubstr(R"("resultCode":225,"message":"Not find device !)"));
    // A faked "no device" from the detection itself, with a programmer listed.
    const Outcome detect = RunKorvid({"--json", "detect"}, Fake("KORVIDDETECTPROGRAMMER", "0xE1"));
    EXPECT_TRUE(detect.exitStatus == 11 || detect.exitStatus == 12) << detect.exitStatus;
    EXPECT_THAT(detect.out, HasSubstr(R"("ok":false)"));
}

TEST_F(FailureTest, FirmwareMismatchIsNeverResolvedSilently) {
    const Outcome script =
        RunKorvid({"program", bin, "-p", "Part A1"}, {{"KORVID_SIMULATE", "hid-old"}});
    EXPECT_EQ(script.exitStatus, 17);
    EXPECT_THAT(
        script.err,
        HasSubstr("give --update-firmware or --no-update-firmware) (result code 237, 0xED)"));
    EXPECT_THAT(script.calls, ElementsAre("UpdateMCU"));
    const Outcome refused =
        RunKorvid({"dump", "--no-update-firmware"}, {{"KORVID_SIMULATE", "hid-old"}});
    EXPECT_EQ(refused.exitStatus, 17);
    EXPECT_THAT(refused.calls, ElementsAre("DumpMCUInfo"));
}

TEST_F(FailureTest, OnATerminalTheReflashIsAskedFor) {
#if defined(_WIN32)
    GTEST_SKIP() << "no pseudo-terminal under wine: the console question is tried on Windows";
#else
    auto env = Fake("UPDATEMCU", "237,0");
    env["KORVID_FAKE_UPDATEFW"] = "0";
    const Outcome yes = RunKorvidOnTerminal({"program", bin, "-p", "Part A1"}, env, "y\n");
    EXPECT_EQ(yes.exitStatus, 0) << yes.out;
    EXPECT_THAT(yes.out, HasSubstr("Unmatched firmware version, Do you want to update ? [y/N]"));
    EXPECT_THAT(yes.calls, ElementsAre("UpdateMCU", "UpdateFW", "UpdateMCU"));
    const Outcome no = RunKorvidOnTerminal({"dump"}, Fake("DUMPMCUINFO", "237"), "n\n");
    EXPECT_EQ(no.exitStatus, 17) << no.out;
    EXPECT_THAT(no.calls, ElementsAre("DumpMCUInfo"));
#endif
}

TEST_F(FailureTest, AFailedReflashReportsThroughTheAskingCommandsTable) {
    auto env = Fake("UPDATEMCU", "237");
    env["KORVID_FAKE_UPDATEFW"] = "0xE3";
    const Outcome program =
        RunKorvid({"--json", "program", bin, "-p", "Part A1", "--update-firmware"}, env);
    EXPECT_EQ(program.exitStatus, 14);
    EXPECT_THAT(program.out,
                HasSubstr(R"("resultCode":227,"message":"Update programmer F/W fail !")"));
    EXPECT_THAT(program.calls, ElementsAre("UpdateMCU", "UpdateFW"));
    auto dumpEnv = Fake("DUMPMCUINFO", "237");
    dumpEnv["KORVID_FAKE_UPDATEFW"] = "0xE0";
    const Outcome dump = RunKorvid({"--json", "dump", "--update-firmware"}, dumpEnv);
    EXPECT_EQ(dump.exitStatus, 10);
    EXPECT_THAT(dump.out, HasSubstr(R"("message":"Dump Information failed !")"));
}

TEST_F(FailureTest, AStillMismatchingProgrammerIsReflashedOnlyOnce) {
    auto env = Fake("UPDATEMCU", "237,237");
    env["KORVID_FAKE_UPDATEFW"] = "0";
    const Outcome run = RunKorvid({"program", bin, "-p", "Part A1", "--update-firmware"}, env);
    EXPECT_EQ(run.exitStatus, 17);
    EXPECT_THAT(run.calls, ElementsAre("UpdateMCU", "UpdateFW", "UpdateMCU"));
}

TEST_F(FailureTest, BadInputIsRefusedBeforeTheProgrammerIsTouched) {
    const std::string corrupt = dir + "/corrupt.kpj";
    WriteBytes(corrupt, std::vector<unsigned char>(100, 0x11));
    struct BadInput {
        std::vector<std::string> args;
        int exitStatus;
        const char* message;
    };
    const BadInput cases[] = {
        {{"program", dir + "/missing.hex", "-p", "Part A1"}, 4, "Can't open \""},
        {{"program", bin, "-p", "Part Z9"},
         3,
         "unknown part \"Part Z9\"; valid parts: \"Part A1\", \"Part A2\""},
        {{"program", bin, "-p", "Part C1", "--option", "EN6T"},
         3,
         "unknown option \"EN6T\" for Part C1; valid options: \"KEEP IAP-DATA\""},
        {{"program", bin, "-p", "Part A1", "--store", "--max-count", "65531"},
         3,
         "Max vaule is 65530 for \"MaxCount\""},
        {{"program", bin, "-p", "Part A1", "--store", "--max-count", "-1"},
         3,
         "Max vaule is 65530 for \"MaxCount\""},
        {{"program", bin, "-p", "Part A1", "--store", "--serial-text", "THIRTEEN-CHAR"},
         3,
         "longer than 12 characters"},
        {{"program", bin, "-p", "Part A4", "--store", "--serial-address", "F7F1"},
         3,
         "serial start address 0x0000F7F1 is beyond the highest start address 0x0000F7F0 of Part "
         "A4"},
        {{"program", bin, "-p", "Part A1", "--address", "3800"},
         3,
         "Insert address over chipsize !"},
        {{"program", bin, "-p", "Part A1", "--address", "3400"},
         5,
         "File size is too large, file data will be truncated !"},
        {{"program", corrupt}, 6, "Footer check error !"},
        {{"dump", "-o", dir + "/no/such/dir/info.bin"}, 4, "Can't create or write"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.message);
        const Outcome run = RunKorvid(c.args, {{"KORVID_SIMULATE", "hid"}});
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_THAT(run.err, HasSubstr(c.message));
        if (c.args[0] != "dump") {
            EXPECT_THAT(run.calls, IsEmpty());
        }
    }
}

TEST_F(FailureTest, UsageErrorsAndFileRefusalsHaveTheirOwnStatus) {
    EXPECT_EQ(RunKorvid({"program"}).exitStatus, 2);
    EXPECT_EQ(RunKorvid({"frobnicate"}).exitStatus, 2);
    EXPECT_EQ(RunKorvid({"program", bin, "--max-count", "5"}).exitStatus, 2);  // needs --store
    EXPECT_EQ(RunKorvid({"program", bin, "--serial-number", "XYZ", "--store"}).exitStatus, 2);
    const Outcome help = RunKorvid({"program", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, HasSubstr("--serial-address"));
    const Outcome show = RunKorvid({"--json", "kpj", "show", bin + ".kpj"});
    EXPECT_EQ(show.exitStatus, 4);
    EXPECT_THAT(show.out, HasSubstr(R"("resultCode":230,"message":"Can't open \")"));
    const Outcome parts = RunKorvid({"parts", "--series", "Series Q"});
    EXPECT_EQ(parts.exitStatus, 3);
}

}  // namespace
}  // namespace korvid::cli::test
