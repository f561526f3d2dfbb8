// The Max Count dialog's rules and the job fill's HWWIDL/HWPS fields.
#include "serial_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace korvid::core {
namespace {

TEST(SerialSettings, LimitsOfCountTextAndAddress) {
    SerialSettings s;
    s.maxCount = 65530;
    s.serialText = "123456789012";
    s.serialAddress = 0xF7F0;
    EXPECT_EQ(CheckSerialSettings(s, 0xF800), SerialProblem::None);
    s.maxCount = 65531;
    EXPECT_EQ(CheckSerialSettings(s, 0xF800), SerialProblem::MaxCountTooLarge);
    s.maxCount = -1;  // taken as unsigned, so too large
    EXPECT_EQ(CheckSerialSettings(s, 0xF800), SerialProblem::MaxCountTooLarge);
    s.maxCount = 0;
    s.serialText += "3";
    EXPECT_EQ(CheckSerialSettings(s, 0xF800), SerialProblem::SerialTextTooLong);
    s.serialText = "";
    s.serialAddress = 0xF7F1;
    EXPECT_EQ(CheckSerialSettings(s, 0xF800), SerialProblem::SerialAddressTooHigh);
    EXPECT_EQ(HighestSerialAddress(0xF800), 0xF7F0u);
    EXPECT_EQ(HighestSerialAddress(8), 0u);
}

TEST(SerialSettings, AppliedToTheJobRecord) {
    SerialSettings s;
    s.maxCount = 70000 - 4470;
    s.serialEnabled = true;
    s.autoIncrement = true;
    s.serialText = "ABCDE";
    s.serialNumber = 0x1234;
    s.serialAddress = 0x3000;
    JobRecord job{};
    ApplySerialSettings(s, job);
    EXPECT_EQ(job.maxCount, 65530);
    EXPECT_EQ(job.serialFlags, 3u);
    EXPECT_EQ(std::string(job.serialText, 12), "ABCDE       ");
    EXPECT_EQ(job.serialNumber, 0x1234u);
    EXPECT_EQ(job.serialAddress, 0x3000u);
    ApplyDirectProgramming(job);
    EXPECT_EQ(job.maxCount, 0xFFFF);
    EXPECT_EQ(job.serialFlags | job.serialAddress | job.serialNumber, 0u);
    EXPECT_EQ(std::string(job.serialText, 12), std::string(12, '\0'));
}

TEST(SerialSettings, HardwareFieldsAsTheJobFillReadsThem) {
    EXPECT_EQ(HwOptionsFromFields("1", "7", 0), 0xFu);
    EXPECT_EQ(HwOptionsFromFields("0", "9", 0), 0x2u);  // 9 AND 7 = 1
    EXPECT_EQ(HwOptionsFromFields("x", "", 0xF0), 0xF0u);
    EXPECT_EQ(HwOptionsFromFields(" 3abc", "2", 0), 0x5u);
    EXPECT_EQ(DecimalFieldValue("-12"), -12);
}

}  // namespace
}  // namespace korvid::core
