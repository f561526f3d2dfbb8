// The simulated programmers' device side, driven through the links as the
// programming operations drive them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/sim/demo_platform.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::sim {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> hidCommand(uint8_t opcode) {
    std::vector<uint8_t> command(31, 0xFF);
    command[0] = opcode;
    return command;
}

// A ProgramCommand for `image` with the fields the simulator keeps.
std::vector<uint8_t> programCommand(uint8_t opcode, const std::vector<uint8_t>& image,
                                    uint16_t checksum) {
    auto c = hidCommand(opcode);
    const auto length = static_cast<uint32_t>(image.size());
    for (int i = 0; i < 4; ++i) {
        c[1 + i] = 0;
        c[5 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    c[9] = static_cast<uint8_t>(checksum);
    c[10] = static_cast<uint8_t>(checksum >> 8);
    c[20] = 0x03;
    c[21] = 0x10;  // maxCount 0x0010
    c[22] = 0x00;
    return c;
}

uint16_t sum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

class SimulatedHidTest : public ::testing::Test {
protected:
    bool send(const std::vector<uint8_t>& bytes) {
        return link::WriteReports(bytes.data(), bytes.size(), link::outputReportLength()) ==
               bytes.size();
    }
    int receiveByte() {
        uint8_t byte = 0;
        return link::ReadReports(&byte, 1) == 1 ? byte : -1;
    }
    bool openNormal() { return link::OpenHidProgrammer(link::kVendorId, link::kHidProductNormal); }

    SimulatedPlatform sim;
    ScopedTestPlatform use{sim.platform()};
};

TEST_F(SimulatedHidTest, ProgramsTheTargetAfterWorkingReplies) {
    auto& programmer = sim.attachHidProgrammer({.workingReplies = 2});
    const std::vector<uint8_t> image(300, 0x5A);
    ASSERT_TRUE(openNormal());
    ASSERT_TRUE(send(programCommand(0xC1, image, sum(image))));
    EXPECT_EQ(receiveByte(), 'A');
    ASSERT_TRUE(send(image));
    EXPECT_EQ(receiveByte(), 'W');
    EXPECT_EQ(receiveByte(), 'W');
    EXPECT_EQ(receiveByte(), 'A');
    EXPECT_EQ(programmer.targetFlash(), image);
    EXPECT_FALSE(programmer.storedJob());
}

TEST_F(SimulatedHidTest, StoresTheJobWithItsSettings) {
    auto& programmer = sim.attachHidProgrammer();
    const std::vector<uint8_t> image{1, 2, 3};
    ASSERT_TRUE(openNormal());
    send(programCommand(0xC0, image, sum(image)));
    EXPECT_EQ(receiveByte(), 'A');
    send(image);
    EXPECT_EQ(receiveByte(), 'A');
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_EQ(programmer.storedJob()->maxCount, 0x0010);
    EXPECT_EQ(programmer.storedJob()->serialFlags, 0x03);
    EXPECT_EQ(programmer.storedJob()->image, image);
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(SimulatedHidTest, ChecksumMismatchAndRefusal) {
    auto& programmer = sim.attachHidProgrammer();
    const std::vector<uint8_t> image{1, 2, 3};
    ASSERT_TRUE(openNormal());
    send(programCommand(0xC1, image, 7));
    EXPECT_EQ(receiveByte(), 'A');
    send(image);
    EXPECT_EQ(receiveByte(), 'C');
    programmer.options().commandAck = 'X';
    send(programCommand(0xC1, image, sum(image)));
    EXPECT_EQ(receiveByte(), 'X');
    send(hidCommand(0xC4));
    EXPECT_EQ(receiveByte(), 'X');
    EXPECT_EQ(receiveByte(), -1);  // nothing follows a refusal
}

TEST_F(SimulatedHidTest, DumpSendsTheTargetInformationInFourReports) {
    auto& programmer = sim.attachHidProgrammer();
    ASSERT_TRUE(openNormal());
    send(hidCommand(0xC4));
    EXPECT_EQ(receiveByte(), 'A');
    std::vector<uint8_t> info(256);
    EXPECT_EQ(link::ReadReports(info.data(), 256), 256u);
    EXPECT_EQ(info[0], 0x00);
    EXPECT_EQ(info[255], 0xFF);
    EXPECT_EQ(BytesOf(programmer.traffic(), TrafficKind::InputReport).size(), 5u);
}

TEST_F(SimulatedHidTest, FirmwareUpdateThroughModeSwitchAndFeatureReports) {
    auto& programmer =
        sim.attachHidProgrammer({.firmwareIdentifier = 0x0512, .reappearAfterPolls = 2});
    ASSERT_TRUE(openNormal());
    send(hidCommand(0xC6));
    EXPECT_EQ(receiveByte(), 'A');
    link::CloseHidProgrammer();
    EXPECT_FALSE(link::OpenHidProgrammer(link::kVendorId, link::kHidProductFirmwareUpdate));
    EXPECT_FALSE(link::OpenHidProgrammer(link::kVendorId, link::kHidProductFirmwareUpdate));
    ASSERT_TRUE(link::OpenHidProgrammer(link::kVendorId, link::kHidProductFirmwareUpdate));
    EXPECT_TRUE(programmer.inFirmwareUpdateMode());

    const std::vector<uint8_t> image = SyntheticFirmwareImage(100);
    std::vector<uint8_t> report(65, 0);
    report[1] = 0x33;
    report[7] = 100;
    ASSERT_TRUE(link::SetFeatureReport(report.data()));
    for (size_t offset = 0; offset < image.size(); offset += 64) {
        std::fill(report.begin(), report.end(), 0);
        const size_t n = std::min<size_t>(64, image.size() - offset);
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), n, report.begin() + 1);
        ASSERT_TRUE(link::SetFeatureReport(report.data()));
    }
    std::fill(report.begin(), report.end(), 0);
    report[1] = 0x22;
    report[7] = 0x02;
    ASSERT_TRUE(link::SetFeatureReport(report.data()));
    ASSERT_TRUE(link::GetFeatureReport(report.data()));
    EXPECT_EQ(report[1] << 8 | report[2], sum(image));
    std::fill(report.begin(), report.end(), 0);
    report[1] = 0x44;
    ASSERT_TRUE(link::SetFeatureReport(report.data()));
    link::CloseHidProgrammer();

    link::WaitNoPendingInstallations();
    EXPECT_EQ(programmer.installedFirmware(), image);
    EXPECT_EQ(programmer.firmwareIdentifier(), 0x0603);
    EXPECT_FALSE(programmer.inFirmwareUpdateMode());
    EXPECT_TRUE(openNormal());
}

TEST_F(SimulatedHidTest, RefusedModeSwitchKeepsTheNormalMode) {
    auto& programmer = sim.attachHidProgrammer({.modeSwitchAck = 'N'});
    ASSERT_TRUE(openNormal());
    send(hidCommand(0xC6));
    EXPECT_EQ(receiveByte(), 'N');
    link::CloseHidProgrammer();
    EXPECT_TRUE(programmer.present());
    EXPECT_FALSE(programmer.inFirmwareUpdateMode());
}

TEST_F(SimulatedHidTest, UnansweredModeSwitchAndNeverReappearing) {
    auto& programmer =
        sim.attachHidProgrammer({.answerModeSwitch = false, .reappearAfterPolls = -1});
    ASSERT_TRUE(openNormal());
    send(hidCommand(0xC6));
    EXPECT_EQ(receiveByte(), -1);
    link::CloseHidProgrammer();
    link::WaitNoPendingInstallations();
    for (int i = 0; i < 30; ++i) {
        EXPECT_FALSE(link::OpenHidProgrammer(link::kVendorId, link::kHidProductFirmwareUpdate));
    }
    EXPECT_EQ(programmer.modeSwitches(), 1u);
    EXPECT_EQ(programmer.openHandles(), 0);
}

class SimulatedPipeTest : public ::testing::Test {
protected:
    bool open() { return link::PipeDevice::Open(link::kVendorId, link::kPipeProduct, 1) == 0; }
    std::vector<uint8_t> read(uint32_t count) {
        std::vector<uint8_t> bytes(count, 0);
        link::PipeRead(bytes.data(), count);
        return bytes;
    }
    static std::vector<uint8_t> header(uint8_t optionByte) {
        std::vector<uint8_t> h(23, 0xFF);
        h[0] = 0x5A;
        h[1] = 0xA5;
        h[2] = optionByte;
        h[3] = 0xF1;
        h[14] = 0x34;
        h[15] = 0x12;
        return h;
    }

    SimulatedPlatform sim;
    ScopedTestPlatform use{sim.platform()};
};

TEST_F(SimulatedPipeTest, ProgramsTheTargetWithWorkingStatuses) {
    auto& programmer = sim.attachPipeProgrammer({.workingReplies = 1});
    const std::vector<uint8_t> image{0x10, 0x20, 0x30};
    ASSERT_TRUE(open());
    link::PipeSetTimeout(0xFFFF);
    ASSERT_EQ(link::PipeWrite(header(0xBF).data(), 23), 0);
    ASSERT_EQ(link::PipeWrite(image.data(), 3), 0);
    EXPECT_THAT(read(3), ElementsAre(0x00, 0x60, 'U'));
    EXPECT_THAT(read(3), ElementsAre(0x00, 0x60, 0x00));
    EXPECT_EQ(programmer.targetFlash(), image);
}

TEST_F(SimulatedPipeTest, StoresTheJobOrReportsALockedTarget) {
    auto& programmer = sim.attachPipeProgrammer({.workingReplies = 4});
    const std::vector<uint8_t> image{1};
    ASSERT_TRUE(open());
    link::PipeWrite(header(0xBB).data(), 23);
    link::PipeWrite(image.data(), 1);
    EXPECT_THAT(read(3), ElementsAre(0x00, 0x01, 0x00));  // no working statuses when storing
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_EQ(programmer.storedJob()->maxCount, 0x1234);

    programmer.options().programStatus = 0xFE;
    programmer.options().workingReplies = 0;
    link::PipeWrite(header(0xBF).data(), 23);
    link::PipeWrite(image.data(), 1);
    EXPECT_THAT(read(3), ElementsAre(0x00, 0x01, 0xFE));
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(SimulatedPipeTest, DumpAcknowledgesThenSendsTargetInformation) {
    sim.attachPipeProgrammer({.targetInformation = std::vector<uint8_t>(256, 0x77)});
    ASSERT_TRUE(open());
    std::vector<uint8_t> h(23, 0xFF);
    h[0] = 0x5A;
    h[1] = 0xA5;
    h[2] = 0xF2;
    h[3] = 0xF1;
    h[14] = 0xFE;
    ASSERT_EQ(link::PipeWrite(h.data(), 23), 0);
    EXPECT_THAT(read(1), ElementsAre(0x00));
    EXPECT_EQ(read(256), std::vector<uint8_t>(256, 0x77));
}

TEST_F(SimulatedPipeTest, FirmwareUpdateThroughTheBootRequest) {
    auto& programmer =
        sim.attachPipeProgrammer({.firmwareIdentifier = 0x0540, .reappearAfterPolls = 3});
    ASSERT_TRUE(open());
    const std::vector<uint8_t> hello{0x55, 0xAA};
    link::PipeWrite(hello.data(), 2);
    EXPECT_THAT(read(2), ElementsAre(0x05, 0x40));
    const uint8_t boot = 0xFF;
    // It drops off the bus at once, without the status block of the request.
    EXPECT_EQ(link::PipeWriteWait(&boot, 1, 30), link::PIPE_FAILED);
    link::PipeDevice::Close();
    int attempts = 1;
    while (!open()) {
        ++attempts;
    }
    EXPECT_EQ(attempts, 4);
    EXPECT_TRUE(programmer.inBootMode());
    const std::vector<uint8_t> firmwareHeader{0x5A, 0xA5, 0xF9, 0xF1};
    const auto image = SyntheticFirmwareImage(8698);
    link::PipeWrite(firmwareHeader.data(), 4);
    link::PipeWrite(image.data(), static_cast<uint32_t>(image.size()));
    const auto reply = read(3);
    EXPECT_EQ(reply[0] << 8 | reply[1], sum(image));
    EXPECT_EQ(reply[2], 0x00);
    link::PipeDevice::Close();
    EXPECT_FALSE(programmer.inBootMode());
    EXPECT_EQ(programmer.firmwareIdentifier(), 0x0551);
    EXPECT_EQ(programmer.installedFirmware(), image);
}

}  // namespace
}  // namespace korvid::sim
