// The three operations open only the selected programmer, on either link, and
// follow it through its restart during a re-flash.
#include "korvid_ext.h"
#include "link/selection.h"
#include "link/sim/demo_platform.h"
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

constexpr uint16_t kOutdatedHid = 0x0512;
constexpr uint16_t kOutdatedPipe = 0x0540;

// HID at 0-1, pipe at 0-2, HID at 0-3, every one with outdated firmware on request.
class ProgrammerSelectionTest : public ProgrammingTest {
protected:
    ~ProgrammerSelectionTest() override { KorvidSelectProgrammer(nullptr); }

    void attachThree(bool outdated) {
        const uint16_t hidIdentifier = outdated ? kOutdatedHid : link::kHidFirmwareIdentifier;
        const uint16_t pipeIdentifier = outdated ? kOutdatedPipe : link::kPipeFirmwareIdentifier;
        first = &attachHid({.firmwareIdentifier = hidIdentifier, .serial = "A1"});
        pipe = &attachPipe({.firmwareIdentifier = pipeIdentifier, .serial = "B2"});
        third = &attachHid({.firmwareIdentifier = hidIdentifier, .serial = "C3"});
    }

    std::vector<bool> talkedTo() const {
        return {!first->traffic().empty(), !pipe->traffic().empty(), !third->traffic().empty()};
    }

    sim::SimulatedHidProgrammer* first = nullptr;
    sim::SimulatedPipeProgrammer* pipe = nullptr;
    sim::SimulatedHidProgrammer* third = nullptr;
};

TEST_F(ProgrammerSelectionTest, UpdateMcuAndDumpReachOnlyTheSelectedProgrammer) {
    attachThree(false);
    ASSERT_EQ(KorvidSelectProgrammer("0-3"), RC_OK);
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    Bytes info(256);
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(third->targetFlash(), code);
    EXPECT_TRUE(first->targetFlash().empty());
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, false, true}));

    third->clearTraffic();
    ASSERT_EQ(KorvidSelectProgrammer("B2"), RC_OK);
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(pipe->targetFlash(), code);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, true, false}));
}

TEST_F(ProgrammerSelectionTest, HidReflashFollowsASerialSelectionIntoUpdateMode) {
    firmware::install(firmware::kHidProgrammerImage, firmwareImage(13796));
    attachThree(true);
    ASSERT_EQ(KorvidSelectProgrammer("C3"), RC_OK);
    // In firmware-update mode the simulated programmer shows no serial string: it
    // is found again at the location where its serial was last seen.
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(third->firmwareIdentifier(), link::kHidFirmwareIdentifier);
    EXPECT_EQ(first->firmwareIdentifier(), kOutdatedHid);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, false, true}));
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(third->targetFlash(), code);
}

TEST_F(ProgrammerSelectionTest, PipeReflashFollowsASerialSelectionIntoBootMode) {
    firmware::install(firmware::kPipeProgrammerImage, firmwareImage(8698));
    attachThree(true);
    ASSERT_EQ(KorvidSelectProgrammer("B2"), RC_OK);
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_EQ(pipe->firmwareIdentifier(), link::kPipeFirmwareIdentifier);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, true, false}));
}

TEST_F(ProgrammerSelectionTest, ProgrammerNotAttachedAnswersNoDevice) {
    attachThree(false);
    ASSERT_EQ(KorvidSelectProgrammer("SIM9999"), RC_OK);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_NO_DEVICE);
    Bytes info(256);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_NO_DEVICE);
    EXPECT_EQ(UpdateFW(), RC_NO_DEVICE);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, false, false}));

    ASSERT_EQ(KorvidSelectProgrammer(""), RC_OK);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(first->targetFlash(), code);
}

TEST_F(ProgrammerSelectionTest, OverlongSelectionIsRefusedAndKeepsTheLastOne) {
    attachThree(false);
    ASSERT_EQ(KorvidSelectProgrammer("0-2"), RC_OK);
    EXPECT_EQ(KorvidSelectProgrammer(std::string(KORVID_USB_SERIAL_SIZE, 'S').c_str()),
              RC_NO_DEVICE);
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, true, false}));
    // The longest serial a record can hold is accepted.
    EXPECT_EQ(KorvidSelectProgrammer(std::string(KORVID_USB_SERIAL_SIZE - 1, 'S').c_str()), RC_OK);
}

// The demo mode's failure variants, as a tool sees them through the operations.
class DemoVariantTest : public ::testing::Test {
protected:
    DemoVariantTest() {
        job.partIndex = 3;
        job.maxCount = 0xFFFF;
        job.codeLength = static_cast<uint32_t>(code.size());
        job.codeBuffer = code.data();
    }
    ~DemoVariantTest() override {
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    Bytes code = firmwareImage(0x40);
    JobRecord job{};
};

TEST_F(DemoVariantTest, RefusingProgrammerTakesTheJobAndAnswersFailure) {
    auto demo = sim::MakeDemoPlatform("hid-refuse", sim::DemoClock::Virtual);
    sim::ScopedTestPlatform use(demo->platform());
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    EXPECT_EQ(UpdateMCU(&job, 0, 0), RC_REFUSED);
    Bytes info(256);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_TRUE(demo->hidBus().programmer(0).targetFlash().empty());
}

TEST_F(DemoVariantTest, StuckProgrammerIsGivenUpAfterTheLimitOnTheVirtualClock) {
    auto demo = sim::MakeDemoPlatform("hid-stuck", sim::DemoClock::Virtual);
    sim::ScopedTestPlatform use(demo->platform());
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    EXPECT_GE(demo->virtualClock()->elapsedMs(), KORVID_WORKING_WAIT_LIMIT_MS);
    EXPECT_EQ(demo->hidBus().programmer(0).openHandles(), 0);
}

TEST_F(DemoVariantTest, OutdatedProgrammerReflashesInVirtualTime) {
    auto demo = sim::MakeDemoPlatform("hid-old", sim::DemoClock::Virtual);
    sim::ScopedTestPlatform use(demo->platform());
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_FIRMWARE_MISMATCH);
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_GE(demo->virtualClock()->elapsedMs(), 21600u);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
}

// The programmers a re-flash cut short leaves behind: the HID one listed in its
// update mode, the older one silent in its boot mode; the next re-flash of each
// brings it back to normal mode, and the job that follows succeeds.
TEST_F(DemoVariantTest, ProgrammersWaitingForTheirFirmwareAreReflashedFromThere) {
    auto demo = sim::MakeDemoPlatform("hid-update,pipe-boot", sim::DemoClock::Virtual);
    sim::ScopedTestPlatform use(demo->platform());
    KorvidProgrammerInfo listed[2] = {};
    ASSERT_EQ(KorvidListProgrammers(listed, 2), 2u);
    EXPECT_EQ(listed[0].updateMode, 1u);
    EXPECT_STREQ(listed[0].serial, "");
    EXPECT_EQ(listed[1].updateMode, 0u);

    sim::SimulatedHidProgrammer& hid = demo->hidBus().programmer(0);
    sim::SimulatedPipeProgrammer& pipe = demo->pipeBus().programmer(0);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);  // only the silent pipe one answers
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_FALSE(hid.inFirmwareUpdateMode());
    EXPECT_EQ(hid.modeSwitches(), 0u);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(hid.targetFlash(), code);

    KorvidSelectProgrammer("0-2");
    ASSERT_EQ(UpdateFW(), RC_OK);
    EXPECT_FALSE(pipe.inBootMode());
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(pipe.targetFlash(), code);
    KorvidSelectProgrammer(nullptr);
}

}  // namespace
}  // namespace korvid::testing
