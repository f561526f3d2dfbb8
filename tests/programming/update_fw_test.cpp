// UpdateFW against the scripted fake programmers, on the virtual clock.
#include <algorithm>
#include <numeric>

#include "link/programmer_identifier.h"
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::IsEmpty;

constexpr size_t kHidImageBytes = 13796;
constexpr size_t kPipeImageBytes = 8698;
constexpr size_t kDataReports = 216;  // 215 of 64 bytes and one of 36

Bytes restartRequest() {
    Bytes report(65, 0x00);
    report[1] = 0x44;
    return report;
}

class HidFirmwareUpdateTest : public ProgrammingTest {
protected:
    HidFirmwareUpdateTest() { firmware::install(firmware::kHidProgrammerImage, image); }

    Bytes image = firmwareImage(kHidImageBytes);
};

TEST_F(HidFirmwareUpdateTest, ImageTravelsInFeatureReportsAndProgrammerRestarts) {
    ASSERT_EQ(UpdateFW(), RC_OK);

    EXPECT_EQ(fake.hid.sentStream(), command31(0xC6));
    const std::vector<Bytes>& reports = fake.hid.featureReports;
    ASSERT_EQ(reports.size(), 1 + kDataReports + 2);
    Bytes announcement(65, 0x00);
    announcement[1] = 0x33;
    announcement[6] = 0x35;
    announcement[7] = 0xE4;
    EXPECT_EQ(reports[0], announcement);
    for (size_t i = 0; i < kDataReports - 1; ++i) {
        const Bytes& data = reports[1 + i];
        ASSERT_EQ(data.size(), 65u);
        EXPECT_EQ(data[0], 0x00);
        EXPECT_EQ(Bytes(data.begin() + 1, data.end()),
                  Bytes(image.begin() + 64 * i, image.begin() + 64 * (i + 1)));
    }
    const Bytes& last = reports[kDataReports];
    EXPECT_EQ(Bytes(last.begin() + 1, last.begin() + 37), Bytes(image.end() - 36, image.end()));
    EXPECT_THAT(Bytes(last.begin() + 37, last.end()), Each(Eq(0)));
    Bytes query(65, 0x00);
    query[1] = 0x22;
    query[7] = 0x02;
    EXPECT_EQ(reports[kDataReports + 1], query);
    EXPECT_EQ(reports.back(), restartRequest());
    EXPECT_EQ(fake.hid.flashedFirmware, image);

    // 1 s until it re-appears, 2 x 2 s settling, 216 x 100 ms, 2 x 2 s settling.
    EXPECT_EQ(fake.clock.totalPauseMs(), 1000u + 4000u + 21600u + 4000u);
    EXPECT_EQ(fake.hid.installationWaits, 6);
}

TEST_F(HidFirmwareUpdateTest, SilentModeSwitchStillUpdates) {
    fake.hid.modeSwitchReply = std::nullopt;
    fake.hid.failedOpensBeforeUpdateMode = 4;
    EXPECT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(fake.hid.flashedFirmware, image);
    EXPECT_EQ(fake.hid.updateModeOpenAttempts, 5);
}

TEST_F(HidFirmwareUpdateTest, RefusedModeSwitchEndsAtOnce) {
    fake.hid.modeSwitchReply = 'N';
    EXPECT_EQ(UpdateFW(), RC_REFUSED);
    EXPECT_THAT(fake.hid.featureReports, IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, NeverReappearingAfterThirtyAttemptsIsResetError) {
    fake.hid.failedOpensBeforeUpdateMode = -1;
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(fake.hid.updateModeOpenAttempts, 30);
    EXPECT_EQ(fake.clock.pausesMs, std::vector<uint32_t>(30, 1000));
    EXPECT_THAT(fake.hid.featureReports, IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, OneBitChecksumDifferenceFailsAfterRestartRequest) {
    fake.hid.checksumAnswerXor = 0x0008;
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
    EXPECT_EQ(fake.hid.featureReports.back(), restartRequest());
    EXPECT_TRUE(fake.hid.restartRequested);
}

TEST_F(HidFirmwareUpdateTest, FailedFeatureReportSendsRestartRequest) {
    fake.hid.failFeatureSetAt = 5;  // a data report
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    ASSERT_EQ(fake.hid.featureReports.size(), 7u);
    EXPECT_EQ(fake.hid.featureReports.back(), restartRequest());
}

TEST_F(HidFirmwareUpdateTest, FailedRestartRequestIsResetError) {
    fake.hid.failFeatureSetAt = 1 + kDataReports + 1;
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(fake.hid.installationWaits, 3);  // no settling after the failed restart
}

TEST_F(HidFirmwareUpdateTest, MissingImageLeavesProgrammerInNormalMode) {
    firmware::install(firmware::kHidProgrammerImage, std::nullopt);
    if (firmware::find(firmware::kHidProgrammerImage)) {
        GTEST_SKIP() << "this build carries a HID programmer image";
    }
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(fake.hid.outputReports, IsEmpty());
    EXPECT_EQ(fake.hid.productId, 0x0323);
}

TEST_F(HidFirmwareUpdateTest, EmptyImageCountsAsMissing) {
    firmware::install(firmware::kHidProgrammerImage, Bytes{});
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(fake.hid.outputReports, IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, FeatureReportsLongerThan65BytesAreRefused) {
    fake.hid.lengths.feature = 66;
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_THAT(fake.hid.featureReports, IsEmpty());
    fake.hid.productId = 0x0323;
    fake.hid.lengths.feature = 0;  // no feature reports at all
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_THAT(fake.hid.featureReports, IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, ShortFeatureReportsCarryLessPerReport) {
    fake.hid.lengths.feature = 33;
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(fake.hid.featureReports.size(), 1 + (kHidImageBytes + 31) / 32 + 2);
    EXPECT_EQ(fake.hid.featureReports[0].size(), 33u);
    EXPECT_EQ(fake.hid.flashedFirmware, image);
}

class PipeFirmwareUpdateTest : public ProgrammingTest {
protected:
    PipeFirmwareUpdateTest() {
        useOnlyPipeProgrammer();
        firmware::install(firmware::kPipeProgrammerImage, image);
        fake.pipe.identifierAnswers = {{0x05, 0x40}};
    }

    Bytes image = firmwareImage(kPipeImageBytes);
};

TEST_F(PipeFirmwareUpdateTest, UpToDateProgrammerIsLeftAlone) {
    link::setProgrammerIdentifier(0);
    fake.pipe.identifierAnswers = {{0x05, 0x51}};
    EXPECT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(link::programmerIdentifier(), 0x0551);
    EXPECT_THAT(fake.pipe.hostMessages(), ElementsAre(Bytes{0x55, 0xAA}, Bytes{0x00}));
    EXPECT_FALSE(fake.pipe.bootRequested);
}

TEST_F(PipeFirmwareUpdateTest, BootRequestReopenHeaderAndImage) {
    fake.pipe.failedOpensAfterBoot = 3;
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_THAT(fake.pipe.hostMessages(),
                ElementsAre(Bytes{0x55, 0xAA}, Bytes{0xFF}, Bytes{0x5A, 0xA5, 0xF9, 0xF1}, image));
    EXPECT_EQ(fake.pipe.openAttempts, 1 + 4);
    EXPECT_EQ(fake.pipe.timeouts, (std::vector<uint32_t>{20000, 20000}));
    const std::vector<uint32_t>& pauses = fake.clock.pausesMs;
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 500u), 3);
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 30u), 1);  // before the boot status
    EXPECT_EQ(pauses.back(), 5000u);
}

TEST_F(PipeFirmwareUpdateTest, UnansweredHandshakeGetsZeroBootRequest) {
    fake.pipe.identifierAnswers = {{0xFF, 0xFF}};
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(fake.pipe.hostMessages()[1], Bytes{0x00});
}

TEST_F(PipeFirmwareUpdateTest, NeverReturningFromBootIsResetError) {
    fake.pipe.failedOpensAfterBoot = -1;
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(fake.pipe.openAttempts, 1 + 21);
    const std::vector<uint32_t>& pauses = fake.clock.pausesMs;
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 500u), 20);
}

TEST_F(PipeFirmwareUpdateTest, WrongChecksumOrStatusIsFirmwareFailure) {
    fake.pipe.checksumReplyXor = 0x8000;
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);

    fake.pipe.checksumReplyXor = 0;
    fake.pipe.bootRequested = false;
    const uint16_t sum = static_cast<uint16_t>(std::accumulate(image.begin(), image.end(), 0u));
    fake.pipe.programReplies = {{static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum), 1}};
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
}

TEST_F(PipeFirmwareUpdateTest, MissingImageSendsNoBootRequest) {
    firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    if (firmware::find(firmware::kPipeProgrammerImage)) {
        GTEST_SKIP() << "this build carries a pipe programmer image";
    }
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(fake.pipe.hostMessages(), ElementsAre(Bytes{0x55, 0xAA}));
}

TEST_F(PipeFirmwareUpdateTest, NoProgrammerAtAll) {
    fake.pipe.present = false;
    EXPECT_EQ(UpdateFW(), RC_NO_DEVICE);
}

}  // namespace
}  // namespace korvid::testing
