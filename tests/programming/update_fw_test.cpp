// UpdateFW against the simulated programmers, on a clock that records pauses.
#include <algorithm>

#include "link/programmer_identifier.h"
#include "link/selection.h"
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
constexpr uint16_t kOutdated = 0x0540;

Bytes restartRequest() {
    Bytes report(65, 0x00);
    report[1] = 0x44;
    return report;
}

std::vector<Bytes> featureReportsSet(const sim::SimulatedHidProgrammer& programmer) {
    return sim::BytesOf(programmer.traffic(), sim::TrafficKind::SetFeature);
}

class HidFirmwareUpdateTest : public ProgrammingTest {
protected:
    HidFirmwareUpdateTest() { firmware::install(firmware::kHidProgrammerImage, image); }

    sim::SimulatedHidProgrammer& attachOutdated(sim::HidProgrammerOptions options = {}) {
        options.firmwareIdentifier = kOutdated;
        return attachHid(std::move(options));
    }

    Bytes image = firmwareImage(kHidImageBytes);
};

TEST_F(HidFirmwareUpdateTest, ImageTravelsInFeatureReportsAndProgrammerRestarts) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.reappearAfterPolls = 0});
    ASSERT_EQ(UpdateFW(), RC_OK);

    EXPECT_EQ(hostStream(programmer.traffic()), command31(0xC6));
    const std::vector<Bytes> reports = featureReportsSet(programmer);
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
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_EQ(programmer.firmwareIdentifier(), link::kHidFirmwareIdentifier);

    // 1 s until it re-appears, 2 x 2 s settling, 216 x 100 ms, 2 x 2 s settling.
    EXPECT_EQ(clock().totalPauseMs(), 1000u + 4000u + 21600u + 4000u);
    EXPECT_EQ(sim.hidBus().installationWaits(), 6u);
}

TEST_F(HidFirmwareUpdateTest, SilentModeSwitchStillUpdates) {
    sim::SimulatedHidProgrammer& programmer =
        attachOutdated({.answerModeSwitch = false, .reappearAfterPolls = 4});
    EXPECT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_EQ(std::count(clock().pausesMs.begin(), clock().pausesMs.end(), 1000u), 5);
}

TEST_F(HidFirmwareUpdateTest, RefusedModeSwitchEndsAtOnce) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.modeSwitchAck = 'N'});
    EXPECT_EQ(UpdateFW(), RC_REFUSED);
    EXPECT_THAT(featureReportsSet(programmer), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, NeverReappearingAfterThirtyAttemptsIsResetError) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.reappearAfterPolls = -1});
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(sim.hidBus().enumerations(), 1u + 30u);
    EXPECT_EQ(clock().pausesMs, std::vector<uint32_t>(30, 1000));
    EXPECT_THAT(featureReportsSet(programmer), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, OneBitChecksumDifferenceFailsAfterRestartRequest) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.corruptChecksum = true});
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
    EXPECT_EQ(featureReportsSet(programmer).back(), restartRequest());
    EXPECT_THAT(programmer.installedFirmware(), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, FailedFeatureReportSendsRestartRequest) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.failFeatureReportAt = 5});
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    const std::vector<Bytes> reports = featureReportsSet(programmer);
    ASSERT_EQ(reports.size(), 6u);  // the failed one is not recorded
    EXPECT_EQ(reports.back(), restartRequest());
}

TEST_F(HidFirmwareUpdateTest, FailedRestartRequestIsResetError) {
    attachOutdated({.restartFails = true});
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(sim.hidBus().installationWaits(), 3u);  // no settling after the failed restart
}

TEST_F(HidFirmwareUpdateTest, MissingImageLeavesProgrammerInNormalMode) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated();
    firmware::install(firmware::kHidProgrammerImage, std::nullopt);
    if (firmware::find(firmware::kHidProgrammerImage)) {
        GTEST_SKIP() << "this build carries a HID programmer image";
    }
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(programmer.traffic(), IsEmpty());
    EXPECT_FALSE(programmer.inFirmwareUpdateMode());
    EXPECT_EQ(programmer.modeSwitches(), 0u);
}

TEST_F(HidFirmwareUpdateTest, EmptyImageCountsAsMissing) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated();
    firmware::install(firmware::kHidProgrammerImage, Bytes{});
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(programmer.traffic(), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, FeatureReportsLongerThan65BytesAreRefused) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.featureReportLength = 66});
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_THAT(featureReportsSet(programmer), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, DeviceWithoutFeatureReportsIsRefused) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.featureReportLength = 0});
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_THAT(featureReportsSet(programmer), IsEmpty());
}

TEST_F(HidFirmwareUpdateTest, ShortFeatureReportsCarryLessPerReport) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.featureReportLength = 33});
    ASSERT_EQ(UpdateFW(), RC_OK);
    const std::vector<Bytes> reports = featureReportsSet(programmer);
    EXPECT_EQ(reports.size(), 1 + (kHidImageBytes + 31) / 32 + 2);
    EXPECT_EQ(reports[0].size(), 33u);
    EXPECT_EQ(programmer.installedFirmware(), image);
}

// A re-flash cut short (the plug pulled during the image) leaves the programmer in
// firmware-update mode; the next UpdateFW finds it there and goes on from the image,
// without a mode switch.
TEST_F(HidFirmwareUpdateTest, AProgrammerWaitingInUpdateModeIsFlashedFromTheImageOn) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.replugAfterFirmwareBytes = 64 * 40});
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_TRUE(programmer.present() || programmer.comesBack());
    sim.hidBus().waitForPendingInstallations();  // plugged in again
    ASSERT_TRUE(programmer.inFirmwareUpdateMode());
    EXPECT_THAT(programmer.installedFirmware(), IsEmpty());

    programmer.clearTraffic();
    clock().pausesMs.clear();
    const unsigned switchesBefore = programmer.modeSwitches();
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(programmer.modeSwitches(), switchesBefore);
    EXPECT_THAT(hostStream(programmer.traffic()), IsEmpty());
    const std::vector<Bytes> reports = featureReportsSet(programmer);
    ASSERT_EQ(reports.size(), 1 + kDataReports + 2);
    EXPECT_EQ(reports[0][1], 0x33);
    EXPECT_EQ(reports.back(), restartRequest());
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_FALSE(programmer.inFirmwareUpdateMode());
    EXPECT_EQ(programmer.firmwareIdentifier(), link::kHidFirmwareIdentifier);
    // 216 x 100 ms and the settling after the restart; no wait for it to appear.
    EXPECT_EQ(clock().totalPauseMs(), 21600u + 4000u);
}

// Without a selection a programmer in normal mode is re-flashed first, and it is
// followed into its update mode where it sat: the one waiting beside it is not
// taken for it. Selected, the waiting one is re-flashed from where it waits.
TEST_F(HidFirmwareUpdateTest, ANormalProgrammerIsPreferredAndFollowedToItsUpdateMode) {
    sim::SimulatedHidProgrammer& waiting = attachOutdated({.startInUpdateMode = true});
    sim::SimulatedHidProgrammer& normal = attachOutdated();
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(normal.installedFirmware(), image);
    EXPECT_FALSE(normal.inFirmwareUpdateMode());
    EXPECT_TRUE(waiting.traffic().empty());
    link::SelectProgrammer("0-1");
    EXPECT_EQ(UpdateFW(), RC_OK);
    link::SelectProgrammer("");
    EXPECT_EQ(waiting.installedFirmware(), image);
    EXPECT_EQ(waiting.modeSwitches(), 0u);
}

TEST_F(HidFirmwareUpdateTest, AProgrammerWaitingInUpdateModeStaysThereWithoutAnImage) {
    sim::SimulatedHidProgrammer& programmer = attachOutdated({.startInUpdateMode = true});
    firmware::install(firmware::kHidProgrammerImage, Bytes{});
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(programmer.traffic(), IsEmpty());
    EXPECT_TRUE(programmer.inFirmwareUpdateMode());
}

TEST_F(HidFirmwareUpdateTest, AFailureInUpdateModeStillSendsTheRestartRequest) {
    sim::SimulatedHidProgrammer& programmer =
        attachOutdated({.corruptChecksum = true, .startInUpdateMode = true});
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
    const std::vector<Bytes> reports = featureReportsSet(programmer);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), restartRequest());
}

class PipeFirmwareUpdateTest : public ProgrammingTest {
protected:
    PipeFirmwareUpdateTest() { firmware::install(firmware::kPipeProgrammerImage, image); }

    sim::SimulatedPipeProgrammer& attachOutdated(sim::PipeProgrammerOptions options = {}) {
        options.firmwareIdentifier = kOutdated;
        return attachPipe(std::move(options));
    }

    size_t pauses(uint32_t ms) {
        return std::count(clock().pausesMs.begin(), clock().pausesMs.end(), ms);
    }

    Bytes image = firmwareImage(kPipeImageBytes);
};

TEST_F(PipeFirmwareUpdateTest, UpToDateProgrammerIsLeftAlone) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe();
    link::setProgrammerIdentifier(0);
    EXPECT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(link::programmerIdentifier(), 0x0551);
    EXPECT_THAT(pipeMessages(programmer.traffic()), ElementsAre(Bytes{0x55, 0xAA}, Bytes{0x00}));
    EXPECT_FALSE(programmer.inBootMode());
}

TEST_F(PipeFirmwareUpdateTest, BootRequestReopenHeaderAndImage) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated({.reappearAfterPolls = 3});
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_THAT(pipeMessages(programmer.traffic()),
                ElementsAre(Bytes{0x55, 0xAA}, Bytes{0xFF}, Bytes{0x5A, 0xA5, 0xF9, 0xF1}, image));
    EXPECT_EQ(programmer.installedFirmware(), image);
    // Sought where it sat in four listings (three pauses below); opened once found.
    EXPECT_EQ(sim.pipeBus().openAttempts(), 1u + 1u);
    EXPECT_EQ(programmer.lastTimeout(), 20000);
    EXPECT_EQ(pauses(500), 3u);
    EXPECT_EQ(pauses(30), 1u);  // before the boot request's status block
    EXPECT_EQ(clock().pausesMs.back(), 5000u);
}

TEST_F(PipeFirmwareUpdateTest, BlankHandshakeAnswerGetsZeroBootRequest) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated({.handshakeAnswers = {0xFFFF}});
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(pipeMessages(programmer.traffic())[1], Bytes{0x00});
    EXPECT_EQ(programmer.installedFirmware(), image);
}

TEST_F(PipeFirmwareUpdateTest, NeverReturningFromBootIsResetError) {
    attachOutdated({.reappearAfterPolls = -1});
    EXPECT_EQ(UpdateFW(), RC_RESET_ERROR);
    EXPECT_EQ(sim.pipeBus().openAttempts(), 1u);  // never listed again, never opened
    EXPECT_EQ(pauses(500), 20u);
}

TEST_F(PipeFirmwareUpdateTest, WrongChecksumOrStatusIsFirmwareFailure) {
    attachOutdated({.corruptChecksum = true});
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
}

TEST_F(PipeFirmwareUpdateTest, NonZeroStatusIsFirmwareFailure) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated({.firmwareStatus = 0x01});
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
    EXPECT_THAT(programmer.installedFirmware(), IsEmpty());
}

TEST_F(PipeFirmwareUpdateTest, LostFinalReplyIsNoConfirmationEvenForZeroChecksum) {
    // An image whose byte sum is 0x10000: its checksum equals a zeroed reply.
    Bytes zeroSum(258, 0xFF);
    zeroSum[0] = 0x02;
    zeroSum[1] = 0xFE;
    firmware::install(firmware::kPipeProgrammerImage, zeroSum);
    sim::SimulatedPipeProgrammer& programmer =
        attachOutdated({.identifierAfterReflash = kOutdated});
    ASSERT_EQ(UpdateFW(), RC_OK);
    // The same update again, with the plug pulled before the final reply.
    const auto transfers = static_cast<unsigned>(programmer.traffic().size());
    programmer.options().unplugAfterTransfers = 2 * transfers - 1;
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
}

TEST_F(PipeFirmwareUpdateTest, MissingImageSendsNoBootRequest) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated();
    firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    if (firmware::find(firmware::kPipeProgrammerImage)) {
        GTEST_SKIP() << "this build carries a pipe programmer image";
    }
    EXPECT_EQ(UpdateFW(), RC_NO_RESOURCE);
    EXPECT_THAT(pipeMessages(programmer.traffic()), ElementsAre(Bytes{0x55, 0xAA}));
    EXPECT_FALSE(programmer.inBootMode());
}

// In its boot mode the older programmer answers the block protocol but not the
// handshake: the image goes to it without a boot request, after one re-open.
TEST_F(PipeFirmwareUpdateTest, AProgrammerWaitingInItsBootModeTakesTheImageAtOnce) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated({.startInBootMode = true});
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_THAT(pipeMessages(programmer.traffic()),
                ElementsAre(Bytes{0x55, 0xAA}, Bytes{0x5A, 0xA5, 0xF9, 0xF1}, image));
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_FALSE(programmer.inBootMode());
    EXPECT_EQ(programmer.firmwareIdentifier(), link::kPipeFirmwareIdentifier);
    EXPECT_EQ(sim.pipeBus().openAttempts(), 2u);
    EXPECT_EQ(pauses(30), 0u);  // no boot request
}

TEST_F(PipeFirmwareUpdateTest, AReflashCutShortIsFinishedByTheNextOne) {
    sim::SimulatedPipeProgrammer& programmer = attachOutdated({.replugAfterFirmwareBytes = 4096});
    EXPECT_EQ(UpdateFW(), RC_FIRMWARE_FAIL);
    EXPECT_TRUE(programmer.inBootMode());
    EXPECT_THAT(programmer.installedFirmware(), IsEmpty());
    programmer.reappear();  // plugged in again
    programmer.clearTraffic();
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(pipeMessages(programmer.traffic()).back(), image);
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_FALSE(programmer.inBootMode());
}

// After its boot request the programmer is sought where it sat: another one beside
// it never gets the image, and the one that restarted is not left in its boot mode.
TEST_F(PipeFirmwareUpdateTest, TheProgrammerIsFoundAgainWhereItSatAfterItsBootRequest) {
    sim::SimulatedPipeProgrammer& outdated = attachOutdated({.reappearAfterPolls = 3});
    sim::SimulatedPipeProgrammer& beside = attachPipe();
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(outdated.installedFirmware(), image);
    EXPECT_FALSE(outdated.inBootMode());
    EXPECT_TRUE(beside.traffic().empty());
}

// A handshake answer that arrives short is no answer of other firmware: nothing
// is re-flashed over a failing link.
TEST_F(PipeFirmwareUpdateTest, AFailedHandshakeReadSendsNoBootRequest) {
    // Transfers: set time-out (2), handshake write (3), read command, read data.
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.faultTransferAt = 6});
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
    EXPECT_THAT(pipeMessages(programmer.traffic()), ElementsAre(Bytes{0x55, 0xAA}));
    EXPECT_FALSE(programmer.inBootMode());
    EXPECT_THAT(programmer.installedFirmware(), IsEmpty());
}

TEST_F(PipeFirmwareUpdateTest, NoProgrammerAtAll) {
    EXPECT_EQ(UpdateFW(), RC_NO_DEVICE);
}

}  // namespace
}  // namespace korvid::testing
