#include "link/hid_reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace korvid::link {
namespace {

using ::testing::ElementsAre;

TEST(HidReports, FrameFillsWithFillerAndCountsPayload) {
    const std::vector<uint8_t> stream{0xC5, 0x01, 0x02};
    std::vector<uint8_t> report(6, 0x00);
    EXPECT_EQ(FrameReport(stream, report), 3u);
    EXPECT_THAT(report, ElementsAre(0x03, 0xC5, 0x01, 0x02, 0xFF, 0xFF));
}

TEST(HidReports, FrameTakesAtMostReportLengthMinusOneAndNeverMoreThan255) {
    const std::vector<uint8_t> stream(300, 0xAB);
    std::vector<uint8_t> small(4);
    EXPECT_EQ(FrameReport(stream, small), 3u);
    std::vector<uint8_t> large(400);
    EXPECT_EQ(FrameReport(stream, large), 255u);
    EXPECT_EQ(large[0], 255);
    std::vector<uint8_t> tooShort(1);
    EXPECT_EQ(FrameReport(stream, tooShort), 0u);
}

TEST(HidReports, PayloadNeverReachesPastTheReport) {
    const std::vector<uint8_t> report{0x03, 'A', 'B', 'C', 0x00};
    EXPECT_THAT(ReportPayload(report), ElementsAre('A', 'B', 'C'));
    const std::vector<uint8_t> lying{0xC8, 1, 2, 3};
    EXPECT_EQ(ReportPayload(lying).size(), 3u);
    EXPECT_TRUE(ReportPayload({}).empty());
}

}  // namespace
}  // namespace korvid::link
