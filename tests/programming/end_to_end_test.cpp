// Each programmer model end to end through the exported C functions against the
// simulated programmer: an outdated programmer is found and refused, re-flashed,
// then programs a target, stores a job and dumps the target information.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/programmer_identifier.h"
#include "link/sim/demo_platform.h"
#include "link/sim/simulated_programmer.h"

namespace korvid {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kOutdatedIdentifier = 0x0500;

Bytes defaultTargetInformation() {
    Bytes info(256);
    std::iota(info.begin(), info.end(), uint8_t{0});
    return info;
}

class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest() {
        code.resize(0x1234);
        for (size_t i = 0; i < code.size(); ++i) {
            code[i] = static_cast<uint8_t>(i ^ (i >> 8));
        }
        job.partIndex = 12;
        job.optionStates[0] = 1;  // "KEEP IAP-DATA"
        job.maxCount = 0xFFFF;
        job.codeLength = static_cast<uint32_t>(code.size());
        job.codeBuffer = code.data();
    }

    ~EndToEndTest() override {
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    void storeWithSerialNumbers() {
        job.maxCount = 100;
        job.serialFlags = 0x03;
        job.serialAddress = 0x2000;
        job.serialNumber = 7;
        std::memcpy(job.serialText, "E2E SERIAL  ", KORVID_SERIAL_TEXT_SIZE);
    }

    sim::SimulatedPlatform sim;
    Bytes code;
    JobRecord job{};
};

TEST_F(EndToEndTest, HidProgrammer) {
    sim::SimulatedHidProgrammer& programmer =
        sim.attachHidProgrammer({.firmwareIdentifier = kOutdatedIdentifier, .workingReplies = 2});
    sim::ScopedTestPlatform use(sim.platform());
    const Bytes firmwareImage = sim::SyntheticFirmwareImage(13796);
    firmware::install(firmware::kHidProgrammerImage, firmwareImage);

    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_FIRMWARE_MISMATCH);
    Bytes info(256, 0xAA);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_FIRMWARE_MISMATCH);

    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(programmer.installedFirmware(), firmwareImage);
    EXPECT_EQ(programmer.firmwareIdentifier(), link::kHidFirmwareIdentifier);
    EXPECT_GE(sim.virtualClock()->elapsedMs(), 21600u);

    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(link::programmerIdentifier(), link::kHidFirmwareIdentifier);
    EXPECT_EQ(programmer.targetFlash(), code);

    storeWithSerialNumbers();
    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_EQ(programmer.storedJob()->opcode, 0xC0);
    EXPECT_EQ(programmer.storedJob()->optionBytes[0], 0xB9);
    EXPECT_EQ(programmer.storedJob()->imageLength, 0x2010u);
    EXPECT_EQ(programmer.storedJob()->serialAddress, 0x200Cu);
    EXPECT_EQ(job.serialAddress, 0x200Cu);

    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(info, defaultTargetInformation());
    EXPECT_EQ(programmer.openHandles(), 0);
}

TEST_F(EndToEndTest, PipeProgrammer) {
    sim::SimulatedPipeProgrammer& programmer =
        sim.attachPipeProgrammer({.firmwareIdentifier = kOutdatedIdentifier, .workingReplies = 2});
    sim::ScopedTestPlatform use(sim.platform());
    const Bytes firmwareImage = sim::SyntheticFirmwareImage(8698);
    firmware::install(firmware::kPipeProgrammerImage, firmwareImage);

    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_FIRMWARE_MISMATCH);

    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(programmer.installedFirmware(), firmwareImage);
    EXPECT_EQ(programmer.firmwareIdentifier(), link::kPipeFirmwareIdentifier);

    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(link::programmerIdentifier(), link::kPipeFirmwareIdentifier);
    EXPECT_EQ(programmer.targetFlash(), code);
    EXPECT_EQ(programmer.lastTimeout(), 0xFFFF);

    storeWithSerialNumbers();
    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_EQ(programmer.storedJob()->optionByte, 0xB9);
    EXPECT_EQ(programmer.storedJob()->serialAddress, 0x200Cu);
    EXPECT_EQ(programmer.storedJob()->image.size(), 0x2010u);

    Bytes info(256, 0xAA);
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(info, defaultTargetInformation());

    // Up to date now: a second re-flash leaves it alone.
    EXPECT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(programmer.openHandles(), 0);
}

}  // namespace
}  // namespace korvid
