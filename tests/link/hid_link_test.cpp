#include "link/hid_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "link/sim/simulated_programmer.h"

namespace korvid::link {
namespace {

using sim::BytesOf;
using sim::TrafficKind;
using ::testing::ElementsAreArray;

std::vector<uint8_t> counting(size_t n, uint8_t first = 0) {
    std::vector<uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// A report as the host must frame it: count, payload, 0xFF filler.
std::vector<uint8_t> outputReport(const std::vector<uint8_t>& payload, size_t length = 65) {
    std::vector<uint8_t> report(length, 0xFF);
    report[0] = static_cast<uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

class HidLinkTest : public ::testing::Test {
protected:
    bool openNormal() { return OpenHidProgrammer(kVendorId, kHidProductNormal) == 1; }

    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

TEST_F(HidLinkTest, StreamsAreFramedIntoSixtyFiveByteReports) {
    auto& programmer = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(outputReportLength(), 65);
    EXPECT_EQ(inputReportLength(), 65);
    EXPECT_EQ(featureReportLength(), 65);

    const auto command = counting(31, 0xC0);
    EXPECT_EQ(WriteReports(command.data(), 31, outputReportLength()), 31u);
    const auto s64 = counting(64, 1);
    EXPECT_EQ(WriteReports(s64.data(), 64, outputReportLength()), 64u);
    const auto s65 = counting(65, 1);
    EXPECT_EQ(WriteReports(s65.data(), 65, outputReportLength()), 65u);
    EXPECT_EQ(WriteReports(s65.data(), 0, outputReportLength()), 0u);

    const auto reports = BytesOf(programmer.traffic(), TrafficKind::OutputReport);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_THAT(reports[0], ElementsAreArray(outputReport(command)));  // 0x1F, 31 bytes, 33 × 0xFF
    EXPECT_THAT(reports[1], ElementsAreArray(outputReport(s64)));      // count 64, no filler
    EXPECT_THAT(reports[2], ElementsAreArray(outputReport(counting(64, 1))));
    EXPECT_THAT(reports[3], ElementsAreArray(outputReport({65})));  // 1 byte, 63 × 0xFF
}

TEST_F(HidLinkTest, FourByteReadAnsweredByOneReportWithCountFour) {
    auto& programmer = sim.attachHidProgrammer({.firmwareIdentifier = 0x0603});
    ASSERT_TRUE(openNormal());
    std::vector<uint8_t> identify(31, 0xFF);
    identify[0] = 0xC5;
    ASSERT_EQ(WriteReports(identify.data(), 31, outputReportLength()), 31u);
    std::vector<uint8_t> reply(4, 0xFF);
    EXPECT_EQ(ReadReports(reply.data(), 4), 4u);
    EXPECT_THAT(reply, ElementsAreArray({0x03, 0x06, 0x00, 0x00}));
    const auto inputs = BytesOf(programmer.traffic(), TrafficKind::InputReport);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0][0], 4);
}

TEST_F(HidLinkTest, EmptyReportsAreSkippedButAThousandInARowFail) {
    auto& programmer = sim.attachHidProgrammer({.emptyReportsBeforeAnswer = 999});
    std::vector<uint8_t> identify(31, 0xFF);
    identify[0] = 0xC5;
    std::vector<uint8_t> reply(4);

    ASSERT_TRUE(openNormal());
    WriteReports(identify.data(), 31, outputReportLength());
    EXPECT_EQ(ReadReports(reply.data(), 4), 4u);
    EXPECT_EQ(BytesOf(programmer.traffic(), TrafficKind::InputReport).size(), 1000u);

    programmer.options().emptyReportsBeforeAnswer = 1000;
    programmer.clearTraffic();
    WriteReports(identify.data(), 31, outputReportLength());
    std::vector<uint8_t> report(inputReportLength());
    EXPECT_EQ(ReadInputReport(report.data()), 0);
    EXPECT_EQ(BytesOf(programmer.traffic(), TrafficKind::InputReport).size(), 1000u);
}

TEST_F(HidLinkTest, ReadThatTimesOutFailsAfterTheBoundedWait) {
    sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    std::vector<uint8_t> reply(4);
    EXPECT_EQ(ReadReports(reply.data(), 4), 0u);
    EXPECT_EQ(sim.virtualClock()->elapsedMs(), uint64_t{kReportReadTimeoutMs});
}

TEST_F(HidLinkTest, CountsBeyondRequestOrReportNeverOverrun) {
    // Identify answer (4 bytes) announced with count 200 in a 65-byte report.
    auto& programmer = sim.attachHidProgrammer({.countByteOverride = 200});
    ASSERT_TRUE(openNormal());
    std::vector<uint8_t> identify(31, 0xFF);
    identify[0] = 0xC5;
    WriteReports(identify.data(), 31, outputReportLength());
    std::vector<uint8_t> guarded(4 + 8, 0xEE);
    // Trusted only up to the report's 64 payload bytes; stored only up to 4.
    EXPECT_EQ(ReadReports(guarded.data(), 4), 64u);
    EXPECT_THAT(guarded, ElementsAreArray({0x03, 0x06, 0x00, 0x00, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                           0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(programmer.openHandles(), 1);
}

TEST_F(HidLinkTest, ReplyLongerThanRequestedIsReportedAsMore) {
    sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    std::vector<uint8_t> dump(31, 0xFF);
    dump[0] = 0xC4;
    WriteReports(dump.data(), 31, outputReportLength());
    uint8_t ack = 0;
    ASSERT_EQ(ReadReports(&ack, 1), 1u);
    std::vector<uint8_t> guarded(16, 0xEE);
    EXPECT_EQ(ReadReports(guarded.data(), 10), 64u);  // the first report carries 64
    EXPECT_THAT(std::vector<uint8_t>(guarded.begin() + 10, guarded.end()),
                ElementsAreArray({0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(HidLinkTest, CloseTwiceReturnsOneAndReleasesTheHandle) {
    auto& programmer = sim.attachHidProgrammer();
    EXPECT_EQ(CloseHidProgrammer(), 1);
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(programmer.openHandles(), 1);
    EXPECT_EQ(CloseHidProgrammer(), 1);
    EXPECT_EQ(CloseHidProgrammer(), 1);
    EXPECT_EQ(programmer.openHandles(), 0);
    EXPECT_EQ(outputReportLength(), 0);
}

TEST_F(HidLinkTest, ReopeningWhileOpenReleasesThePreviousHandle) {
    auto& programmer = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(programmer.openHandles(), 1);
}

TEST_F(HidLinkTest, FirstOfTwoMatchingDevicesIsUsed) {
    auto& foreign = sim.attachHidProgrammer({.vendorId = 0x1234});
    auto& first = sim.attachHidProgrammer({.outputReportLength = 33});
    auto& second = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(outputReportLength(), 33);
    EXPECT_EQ(first.openHandles(), 1);
    EXPECT_EQ(second.openCount(), 0u);
    EXPECT_EQ(foreign.openCount(), 0u);
}

TEST_F(HidLinkTest, InaccessibleDeviceIsSkipped) {
    sim.attachHidProgrammer({.refuseOpen = true});
    auto& usable = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(usable.openHandles(), 1);
}

TEST_F(HidLinkTest, DeviceWithReportsTooShortForPayloadIsRefused) {
    auto& noInput = sim.attachHidProgrammer({.inputReportLength = 1});
    auto& noOutput = sim.attachHidProgrammer({.outputReportLength = 0});
    auto& wraps = sim.attachHidProgrammer({.inputReportLength = 257});  // low byte 1
    EXPECT_FALSE(openNormal());
    EXPECT_EQ(noInput.openCount(), 1u);
    EXPECT_EQ(noOutput.openCount(), 1u);
    EXPECT_EQ(wraps.openCount(), 1u);
    EXPECT_EQ(noInput.openHandles() + noOutput.openHandles() + wraps.openHandles(), 0);
    EXPECT_EQ(inputReportLength(), 0);
    EXPECT_EQ(outputReportLength(), 0);
    uint8_t byte = 0;
    EXPECT_EQ(WriteReports(&byte, 1, 65), 0u);
}

TEST_F(HidLinkTest, ReportLengthsAreStoredAsLowBytesAndResetOnEveryOpen) {
    sim.attachHidProgrammer({.inputReportLength = 0x141, .featureReportLength = 0x100});
    ASSERT_TRUE(openNormal());
    EXPECT_EQ(inputReportLength(), 0x41);
    EXPECT_EQ(featureReportLength(), 0x00);
    EXPECT_FALSE(SetFeatureReport(std::vector<uint8_t>(65).data()));
    EXPECT_FALSE(OpenHidProgrammer(kVendorId, kHidProductFirmwareUpdate));
    EXPECT_EQ(inputReportLength(), 0);
}

TEST_F(HidLinkTest, EveryOperationFailsWithNothingOpen) {
    std::vector<uint8_t> buffer(65, 0);
    EXPECT_EQ(WriteReports(buffer.data(), 10, 65), 0u);
    EXPECT_EQ(ReadReports(buffer.data(), 10), 0u);
    EXPECT_EQ(WriteOutputReport(buffer.data()), 0);
    EXPECT_EQ(ReadInputReport(buffer.data()), 0);
    EXPECT_FALSE(SetFeatureReport(buffer.data()));
    EXPECT_FALSE(GetFeatureReport(buffer.data()));
    CancelHidTransfers();
}

TEST_F(HidLinkTest, FeatureReportsAndCancelReachTheOpenDevice) {
    auto& programmer = sim.attachHidProgrammer({.featureReportLength = 33});
    ASSERT_TRUE(openNormal());
    std::vector<uint8_t> report(33, 0);
    report[1] = 0x22;
    EXPECT_TRUE(SetFeatureReport(report.data()));
    EXPECT_TRUE(GetFeatureReport(report.data()));
    CancelHidTransfers();
    EXPECT_EQ(programmer.cancellations(), 1u);
    const auto& t = programmer.traffic();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].kind, TrafficKind::SetFeature);
    EXPECT_EQ(t[0].direction, sim::Direction::HostToDevice);
    EXPECT_EQ(t[0].bytes.size(), 33u);
    EXPECT_EQ(t[1].kind, TrafficKind::GetFeature);
    EXPECT_EQ(t[1].direction, sim::Direction::DeviceToHost);
}

TEST_F(HidLinkTest, DeviceDisappearingMidStreamEndsTheWriteWithTheShortCount) {
    sim.attachHidProgrammer({.unplugAfterTransfers = 2});
    ASSERT_TRUE(openNormal());
    const auto stream = counting(200);
    EXPECT_EQ(WriteReports(stream.data(), stream.size(), outputReportLength()), 128u);
}

TEST_F(HidLinkTest, FramesOfAShorterReportLengthStillWriteWholeReports) {
    auto& programmer = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    const auto stream = counting(10);
    EXPECT_EQ(WriteReports(stream.data(), stream.size(), 5), 10u);
    const auto reports = BytesOf(programmer.traffic(), TrafficKind::OutputReport);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_THAT(reports[2], ElementsAreArray(outputReport({8, 9})));
}

TEST_F(HidLinkTest, FramesNeverExceedTheDevicesOutputReports) {
    auto& programmer = sim.attachHidProgrammer({.outputReportLength = 9});
    ASSERT_TRUE(openNormal());
    const auto stream = counting(10);
    EXPECT_EQ(WriteReports(stream.data(), stream.size(), 65), 10u);
    const auto reports = BytesOf(programmer.traffic(), TrafficKind::OutputReport);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_THAT(reports[1], ElementsAreArray(outputReport({8, 9}, 9)));
}

}  // namespace
}  // namespace korvid::link
