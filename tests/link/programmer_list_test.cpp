// Listing the attached programmers and detecting the selected one, against the
// simulated programmers.
#include "link/programmer_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "korvid.h"
#include "link/detect.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/selection.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::link {
namespace {

using sim::TrafficKind;

class ProgrammerListTest : public ::testing::Test {
protected:
    ~ProgrammerListTest() override { SelectProgrammer(""); }

    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

TEST_F(ProgrammerListTest, HidProgrammersInBothModesThenPipeProgrammers) {
    sim.attachPipeProgrammer({.serial = "P1"});
    sim.attachHidProgrammer({.serial = "H1"});
    sim.attachHidProgrammer({.vendorId = 0x046D, .productId = 0xC52B});  // not a programmer
    sim.attachHidProgrammer({.productId = kHidProductFirmwareUpdate, .refuseOpen = true});
    sim.attachPipeProgrammer({.productId = 0x0323});  // wrong product on the pipe bus

    const std::vector<ProgrammerEntry> listed = ListProgrammers();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].link, LinkKind::Hid);
    EXPECT_FALSE(listed[0].updateMode);
    EXPECT_TRUE(listed[0].accessible);
    EXPECT_EQ(listed[0].location, "0-2");
    EXPECT_EQ(listed[0].serial, "H1");
    EXPECT_EQ(listed[0].node, "sim-hid-0");

    EXPECT_EQ(listed[1].link, LinkKind::Hid);
    EXPECT_TRUE(listed[1].updateMode);
    EXPECT_FALSE(listed[1].accessible);
    EXPECT_EQ(listed[1].location, "0-4");
    EXPECT_EQ(listed[1].serial, "");
    EXPECT_EQ(listed[1].node, "sim-hid-2");

    EXPECT_EQ(listed[2].link, LinkKind::Pipe);
    EXPECT_FALSE(listed[2].updateMode);
    EXPECT_TRUE(listed[2].accessible);
    EXPECT_EQ(listed[2].location, "0-1");
    EXPECT_EQ(listed[2].serial, "P1");
    EXPECT_EQ(listed[2].node, "sim-pipe-0");
}

TEST_F(ProgrammerListTest, ListingSendsNothingAndOpensNothing) {
    auto& hid = sim.attachHidProgrammer();
    auto& pipe = sim.attachPipeProgrammer();
    EXPECT_EQ(ListProgrammers().size(), 2u);
    EXPECT_TRUE(hid.traffic().empty());
    EXPECT_TRUE(pipe.traffic().empty());
    EXPECT_EQ(hid.openCount(), 0u);
    EXPECT_EQ(pipe.openCount(), 0u);
}

TEST_F(ProgrammerListTest, NothingAttached) {
    EXPECT_TRUE(ListProgrammers().empty());
}

// Three programmers: HID at 0-1, pipe at 0-2, HID at 0-3.
class SeveralProgrammersTest : public ProgrammerListTest {
protected:
    SeveralProgrammersTest()
        : first(sim.attachHidProgrammer({.serial = "SIM0001"})),
          pipe(sim.attachPipeProgrammer({.serial = "SIM0002"})),
          third(sim.attachHidProgrammer({.firmwareIdentifier = 0x0512, .serial = "SIM0003"})) {}

    // Which of the three saw any traffic.
    std::vector<bool> talkedTo() const {
        return {!first.traffic().empty(), !pipe.traffic().empty(), !third.traffic().empty()};
    }
    void forgetTraffic() {
        first.clearTraffic();
        pipe.clearTraffic();
        third.clearTraffic();
    }

    sim::SimulatedHidProgrammer& first;
    sim::SimulatedPipeProgrammer& pipe;
    sim::SimulatedHidProgrammer& third;
};

TEST_F(SeveralProgrammersTest, WithoutSelectionTheFirstHidProgrammerAnswers) {
    Detection detection;
    EXPECT_EQ(DetectProgrammer(&detection), RC_OK);
    EXPECT_EQ(detection.link, LinkKind::Hid);
    EXPECT_EQ(detection.identifier, kHidFirmwareIdentifier);
    EXPECT_EQ(detection.location, "0-1");
    EXPECT_EQ(talkedTo(), (std::vector<bool>{true, false, false}));
}

TEST_F(SeveralProgrammersTest, OnlyTheSelectedProgrammerSeesTraffic) {
    SelectProgrammer("0-2");
    Detection detection;
    EXPECT_EQ(DetectProgrammer(&detection), RC_OK);
    EXPECT_EQ(detection.link, LinkKind::Pipe);
    EXPECT_EQ(detection.identifier, kPipeFirmwareIdentifier);
    EXPECT_EQ(detection.location, "0-2");
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, true, false}));

    forgetTraffic();
    SelectProgrammer("SIM0003");
    detection = {};
    EXPECT_EQ(DetectProgrammer(&detection), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(detection.link, LinkKind::Hid);
    EXPECT_EQ(detection.identifier, 0x0512);
    EXPECT_EQ(detection.location, "0-3");
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, false, true}));
    // The handshake was all: one identify command out, its answer in.
    EXPECT_EQ(sim::BytesOf(third.traffic(), TrafficKind::OutputReport).size(), 1u);
    EXPECT_EQ(third.traffic().size(), 2u);
    EXPECT_EQ(third.openHandles(), 0);
}

TEST_F(SeveralProgrammersTest, ASelectionThatIsNotAttachedFindsNothing) {
    SelectProgrammer("9-9");
    Detection detection;
    EXPECT_EQ(DetectProgrammer(&detection), RC_NO_DEVICE);
    EXPECT_EQ(detection.link, LinkKind::None);
    EXPECT_EQ(OpenHidProgrammer(kVendorId, kHidProductNormal), 0);
    EXPECT_EQ(PipeDevice::Open(kVendorId, kPipeProduct, 1), PIPE_NOT_OPEN);
    EXPECT_EQ(talkedTo(), (std::vector<bool>{false, false, false}));
}

TEST_F(SeveralProgrammersTest, OpenLinksTellTheirLocation) {
    SelectProgrammer("0-3");
    ASSERT_EQ(OpenHidProgrammer(kVendorId, kHidProductNormal), 1);
    EXPECT_EQ(openedHidLocation(), "0-3");
    CloseHidProgrammer();
    EXPECT_EQ(openedHidLocation(), "");

    // Without a selection the pipe link learns its location from the bus on request.
    SelectProgrammer("");
    ASSERT_EQ(PipeDevice::Open(kVendorId, kPipeProduct, 1), PIPE_DONE);
    EXPECT_EQ(PipeDevice::Location(), "0-2");
    PipeDevice::Close();
    EXPECT_EQ(PipeDevice::Location(), "");
}

TEST_F(SeveralProgrammersTest, NoStableHandshakeLeavesTheDetectionEmpty) {
    SelectProgrammer("0-2");
    pipe.options().handshakeAnswers.resize(31);
    for (size_t i = 0; i < 31; ++i) {
        pipe.options().handshakeAnswers[i] = static_cast<uint16_t>(0x0100 + i);
    }
    Detection detection;
    EXPECT_EQ(DetectProgrammer(&detection), RC_NO_DEVICE);
    EXPECT_EQ(detection.link, LinkKind::None);
}

}  // namespace
}  // namespace korvid::link
