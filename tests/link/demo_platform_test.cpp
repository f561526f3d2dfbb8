// The demo mode's list of simulated programmers: names, places, serials, nodes,
// separate state, and the failure variants as the link sees them.
#include "link/sim/demo_platform.h"

#include <gtest/gtest.h>

#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/detect.h"
#include "link/programmer_list.h"
#include "link/selection.h"

namespace korvid::sim {
namespace {

class DemoPlatformTest : public ::testing::Test {
protected:
    ~DemoPlatformTest() override {
        link::SelectProgrammer("");
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }
};

TEST_F(DemoPlatformTest, BuildsTheNamedProgrammerAndInstallsSyntheticImages) {
    auto demo = MakeDemoPlatform("hid-old");
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->virtualClock(), nullptr);
    const auto hidImage = firmware::find(firmware::kHidProgrammerImage);
    const auto pipeImage = firmware::find(firmware::kPipeProgrammerImage);
    ASSERT_TRUE(hidImage && pipeImage);
    EXPECT_EQ(hidImage->size(), 13796u);
    EXPECT_EQ(pipeImage->size(), 8698u);
    EXPECT_EQ((*hidImage)[0], 0x02);
}

TEST_F(DemoPlatformTest, UnknownOrEmptyNamesMakeNoPlatform) {
    for (const char* modes :
         {"", "usb", "hid,", ",hid", "hid,,pipe", "hid;pipe", "HID", "hid,pipe-stuck", " "}) {
        EXPECT_EQ(MakeDemoPlatform(modes), nullptr) << '"' << modes << '"';
    }
    EXPECT_NE(MakeDemoPlatform(" hid , pipe "), nullptr);
}

TEST_F(DemoPlatformTest, EachProgrammerHasItsOwnPlaceSerialAndNode) {
    auto demo = MakeDemoPlatform("hid,pipe,hid-old,pipe-old,hid-refuse,hid-stuck,hid-noaccess");
    ASSERT_NE(demo, nullptr);
    ScopedTestPlatform use(demo->platform());

    const auto listed = link::ListProgrammers();
    struct Expected {
        link::LinkKind link;
        const char* location;
        const char* serial;
        const char* node;
        bool accessible;
    };
    const Expected expected[] = {
        {link::LinkKind::Hid, "0-1", "SIM0001", "sim-hid-0", true},
        {link::LinkKind::Hid, "0-3", "SIM0003", "sim-hid-1", true},
        {link::LinkKind::Hid, "0-5", "SIM0005", "sim-hid-2", true},
        {link::LinkKind::Hid, "0-6", "SIM0006", "sim-hid-3", true},
        {link::LinkKind::Hid, "0-7", "SIM0007", "sim-hid-4", false},
        {link::LinkKind::Pipe, "0-2", "SIM0002", "sim-pipe-0", true},
        {link::LinkKind::Pipe, "0-4", "SIM0004", "sim-pipe-1", true},
    };
    ASSERT_EQ(listed.size(), std::size(expected));
    for (size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(listed[i].link, expected[i].link);
        EXPECT_FALSE(listed[i].updateMode);
        EXPECT_EQ(listed[i].location, expected[i].location);
        EXPECT_EQ(listed[i].serial, expected[i].serial);
        EXPECT_EQ(listed[i].node, expected[i].node);
        EXPECT_EQ(listed[i].accessible, expected[i].accessible);
    }
}

TEST_F(DemoPlatformTest, OnlyTheSelectedProgrammerAnswers) {
    auto demo = MakeDemoPlatform("hid,pipe,hid", DemoClock::Virtual);
    ASSERT_NE(demo, nullptr);
    ScopedTestPlatform use(demo->platform());
    SimulatedHidProgrammer& first = demo->hidBus().programmer(0);
    SimulatedPipeProgrammer& pipe = demo->pipeBus().programmer(0);
    SimulatedHidProgrammer& third = demo->hidBus().programmer(1);

    for (const char* selection : {"0-3", "SIM0003"}) {
        link::SelectProgrammer(selection);
        link::Detection detection;
        EXPECT_EQ(link::DetectProgrammer(&detection), RC_OK);
        EXPECT_EQ(detection.location, "0-3");
    }
    EXPECT_TRUE(first.traffic().empty());
    EXPECT_TRUE(pipe.traffic().empty());
    EXPECT_FALSE(third.traffic().empty());

    third.clearTraffic();
    link::SelectProgrammer("SIM0002");
    link::Detection detection;
    EXPECT_EQ(link::DetectProgrammer(&detection), RC_OK);
    EXPECT_EQ(detection.link, link::LinkKind::Pipe);
    EXPECT_TRUE(first.traffic().empty());
    EXPECT_FALSE(pipe.traffic().empty());
    EXPECT_TRUE(third.traffic().empty());
}

TEST_F(DemoPlatformTest, NotAccessibleProgrammerIsListedButNotOpened) {
    auto demo = MakeDemoPlatform("hid-noaccess");
    ASSERT_NE(demo, nullptr);
    ScopedTestPlatform use(demo->platform());
    platform::OpenFailure failure = platform::OpenFailure::None;
    EXPECT_EQ(demo->platform().hid->open("sim-hid-0", failure), nullptr);
    EXPECT_EQ(failure, platform::OpenFailure::AccessDenied);
    EXPECT_EQ(link::DetectProgrammer(), RC_NO_DEVICE);
    EXPECT_EQ(demo->hidBus().programmer(0).openCount(), 0u);
}

TEST_F(DemoPlatformTest, VirtualClockOnRequest) {
    auto system = MakeDemoPlatform("hid");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->virtualClock(), nullptr);
    auto virtualTime = MakeDemoPlatform("hid", DemoClock::Virtual);
    ASSERT_NE(virtualTime, nullptr);
    ASSERT_NE(virtualTime->virtualClock(), nullptr);
    virtualTime->clock().sleepMs(20000);
    EXPECT_EQ(virtualTime->virtualClock()->elapsedMs(), 20000u);
}

}  // namespace
}  // namespace korvid::sim
