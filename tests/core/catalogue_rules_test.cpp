// Rules the dialog program and the tool share about the catalogue and the
// programmer: the series names, and the retry after a firmware mismatch.
#include "firmware_retry.h"
#include "korvid.h"
#include "series_names.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace korvid::core {
namespace {

TEST(SeriesNames, ByBitAndByName) {
    EXPECT_EQ(SeriesName(1u << 0), "Series A");
    EXPECT_EQ(SeriesName(1u << 6), "Series G");
    EXPECT_EQ(SeriesName((1u << 3) | (1u << 5)), "Series D");  // the lowest bit
    EXPECT_EQ(SeriesName(0), "");
    EXPECT_EQ(SeriesName(1u << 7), "");
    EXPECT_EQ(SeriesBitOfName("Series C"), 2);
    EXPECT_EQ(SeriesBitOfName("sERIES g"), 6);
    EXPECT_EQ(SeriesBitOfName("Series H"), std::nullopt);
    EXPECT_EQ(SeriesBitOfName("Series"), std::nullopt);
    EXPECT_EQ(SeriesBitOfName(""), std::nullopt);
}

// A call that answers from a list, and a record of what the retry did.
class FirmwareRetryTest : public ::testing::Test {
protected:
    std::optional<uint8_t> Run() {
        return RunWithFirmwareRetry(
            [this] {
                steps.push_back("call");
                const uint8_t result = answers.front();
                answers.pop_front();
                return result;
            },
            [this] {
                steps.push_back("ask");
                return yes;
            },
            [this] {
                steps.push_back("reflash");
                return reflashResult;
            });
    }

    std::deque<uint8_t> answers;
    bool yes = true;
    uint8_t reflashResult = RC_OK;
    std::vector<std::string> steps;
};

TEST_F(FirmwareRetryTest, AMatchingProgrammerIsAskedNothing) {
    answers = {RC_REFUSED};
    EXPECT_EQ(Run(), RC_REFUSED);
    EXPECT_EQ(steps, (std::vector<std::string>{"call"}));
}

TEST_F(FirmwareRetryTest, AGoodReflashRunsTheCallAgain) {
    answers = {RC_FIRMWARE_MISMATCH, RC_OK};
    EXPECT_EQ(Run(), RC_OK);
    EXPECT_EQ(steps, (std::vector<std::string>{"call", "ask", "reflash", "call"}));
}

TEST_F(FirmwareRetryTest, ADeclinedReflashStops) {
    answers = {RC_FIRMWARE_MISMATCH};
    yes = false;
    EXPECT_EQ(Run(), std::nullopt);
    EXPECT_EQ(steps, (std::vector<std::string>{"call", "ask"}));
}

TEST_F(FirmwareRetryTest, AFailedReflashIsTheResult) {
    answers = {RC_FIRMWARE_MISMATCH};
    reflashResult = RC_RESET_ERROR;
    EXPECT_EQ(Run(), RC_RESET_ERROR);
    EXPECT_EQ(steps, (std::vector<std::string>{"call", "ask", "reflash"}));
}

TEST_F(FirmwareRetryTest, AStillMismatchingProgrammerIsAskedAgain) {
    answers = {RC_FIRMWARE_MISMATCH, RC_FIRMWARE_MISMATCH, RC_OK};
    EXPECT_EQ(Run(), RC_OK);
    EXPECT_EQ(steps, (std::vector<std::string>{"call", "ask", "reflash", "call", "ask", "reflash",
                                               "call"}));
}

}  // namespace
}  // namespace korvid::core
