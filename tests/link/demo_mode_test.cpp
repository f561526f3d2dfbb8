// The demo mode as a program sees it: KORVID_SIMULATE (set by CTest for this
// program) puts a built-in simulated programmer behind the default platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/detect.h"
#include "link/hid_link.h"
#include "link/platform.h"
#include "link/programmer_identifier.h"

namespace korvid {
namespace {

TEST(DemoMode, DefaultPlatformIsTheNamedSimulatedProgrammer) {
    const char* mode = std::getenv("KORVID_SIMULATE");
    ASSERT_NE(mode, nullptr);
    const std::string name = mode;

    const uint8_t expected = name.ends_with("-old") ? RC_FIRMWARE_MISMATCH : RC_OK;
    EXPECT_EQ(link::DetectProgrammer(), expected);
    if (expected == RC_OK) {
        EXPECT_EQ(link::programmerIdentifier(), name.starts_with("hid")
                                                    ? link::kHidFirmwareIdentifier
                                                    : link::kPipeFirmwareIdentifier);
    }
    const auto devices = platform::current().hid->enumerate();
    EXPECT_EQ(devices.size(), name.starts_with("hid") ? 1u : 0u);
    for (const auto& device : devices) {
        EXPECT_EQ(device.productId, link::kHidProductNormal);
        EXPECT_EQ(device.path.rfind("sim-", 0), 0u);
    }

    const auto hidImage = firmware::find(firmware::kHidProgrammerImage);
    const auto pipeImage = firmware::find(firmware::kPipeProgrammerImage);
    ASSERT_TRUE(hidImage && pipeImage);
    EXPECT_EQ(hidImage->size(), 13796u);
    EXPECT_EQ(pipeImage->size(), 8698u);
    EXPECT_EQ(hidImage->front(), 0x02);
    EXPECT_EQ(pipeImage->front(), 0x02);
}

}  // namespace
}  // namespace korvid
