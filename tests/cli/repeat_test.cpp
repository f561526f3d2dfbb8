// program --repeat: units one after another from this computer, Enter between
// them, on a terminal as an operator drives it.
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class RepeatTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        bin = dir + "/code.bin";
        WriteBytes(bin, std::vector<unsigned char>(64, 0x5A));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
    std::string bin;
};

const std::map<std::string, std::string> kVirtualHid{{"KORVID_SIMULATE", "hid"},
                                                     {"KORVID_SIMULATE_CLOCK", "virtual"}};

// Without a counter file the units number from the start value; the unit that would
// pass the last number is refused, as the counter file refuses it: a number never
// wraps to 0 and never repeats.
TEST_F(RepeatTest, SerialNumbersNeverWrapPastTheLastOne) {
#if defined(_WIN32)
    GTEST_SKIP() << "no pseudo-terminal under wine";
#else
    const Outcome run = RunKorvidOnTerminal(
        {"program", bin, "--part", "Part A4", "--repeat", "--serial-number", "FFFFFFFD"},
        kVirtualHid, "\n\n\n\n\n");
    EXPECT_EQ(run.exitStatus, 3) << run.out;
    EXPECT_THAT(run.out, HasSubstr("PASS unit 1: Update success ! (serial number 0xFFFFFFFD)"));
    EXPECT_THAT(run.out, HasSubstr("PASS unit 2: Update success ! (serial number 0xFFFFFFFE)"));
    EXPECT_THAT(run.out,
                HasSubstr("the serial numbers from 0xFFFFFFFD have no number left for unit 3"));
    EXPECT_THAT(run.out, Not(HasSubstr("unit 3:")));
    EXPECT_THAT(run.out, Not(HasSubstr("0x00000000")));
    EXPECT_THAT(run.calls, ElementsAre("UpdateMCU", "UpdateMCU"));
#endif
}

// A log that cannot be written (a full disk) stops the run after the unit it could
// not record; that unit's result and the totals are still shown.
TEST_F(RepeatTest, ALogThatCannotBeWrittenStopsAfterTheUnitItCouldNotRecord) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no device that is always full";
#else
    const Outcome run =
        RunKorvidOnTerminal({"program", bin, "--part", "Part A4", "--repeat", "--log", "/dev/full"},
                            kVirtualHid, "\n\n\n");
    EXPECT_EQ(run.exitStatus, 4) << run.out;
    EXPECT_THAT(run.out, HasSubstr("PASS unit 1: Update success !"));
    EXPECT_THAT(run.out, HasSubstr("Totals: 1 passed, 0 failed"));
    EXPECT_THAT(run.out, HasSubstr("cannot write the log \"/dev/full\""));
    EXPECT_THAT(run.calls, ElementsAre("UpdateMCU"));
#endif
}

}  // namespace
}  // namespace korvid::cli::test
