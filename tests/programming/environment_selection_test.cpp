// The process's environment, set by CTest for this program: three simulated
// programmers (KORVID_SIMULATE=hid,pipe,hid) on the virtual clock, and
// KORVID_DEVICE naming the second. Tests run in order; the selection is global.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "korvid_ext.h"
#include "link/platform.h"
#include "link/sim/clocks.h"

namespace korvid {
namespace {

KorvidDetection detect() {
    KorvidDetection detection{};
    EXPECT_EQ(KorvidDetectProgrammer(&detection), RC_OK);
    return detection;
}

TEST(EnvironmentSelection, KorvidDeviceSelectsUntilTheProgramSelects) {
    ASSERT_STREQ(std::getenv("KORVID_DEVICE"), "0-2");
    KorvidDetection detection = detect();
    EXPECT_EQ(detection.link, KORVID_LINK_PIPE);
    EXPECT_STREQ(detection.location, "0-2");

    // Read once: a later change of the variable changes nothing.
#if defined(_WIN32)
    _putenv_s("KORVID_DEVICE", "0-3");
#else
    setenv("KORVID_DEVICE", "0-3", 1);
#endif
    EXPECT_STREQ(detect().location, "0-2");

    // The program's own choice wins, and clearing it means the first one found.
    ASSERT_EQ(KorvidSelectProgrammer("SIM0003"), RC_OK);
    detection = detect();
    EXPECT_EQ(detection.link, KORVID_LINK_HID);
    EXPECT_STREQ(detection.location, "0-3");
    ASSERT_EQ(KorvidSelectProgrammer(nullptr), RC_OK);
    EXPECT_STREQ(detect().location, "0-1");
}

TEST(EnvironmentSelection, SimulatedClockIsVirtualOnRequest) {
    EXPECT_NE(dynamic_cast<sim::VirtualClock*>(platform::current().clock), nullptr);
}

}  // namespace
}  // namespace korvid
