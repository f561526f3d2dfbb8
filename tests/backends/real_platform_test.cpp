// Runs against this machine's real buses, where no programmer is attached.
#include "link/backends/real_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "link/hid_link.h"
#include "link/pipe_link.h"

namespace korvid::platform {
namespace {

TEST(RealPlatform, IsOneProcessWideObject) {
    Platform& platform = realPlatform();
    EXPECT_EQ(&platform, &realPlatform());
    EXPECT_NE(platform.hid, nullptr);
    EXPECT_NE(platform.pipe, nullptr);
    EXPECT_NE(platform.clock, nullptr);
}

TEST(RealPlatform, FindsNoProgrammerAndDoesNotHang) {
    Platform& platform = realPlatform();
    const auto devices = platform.hid->enumerate();
    EXPECT_TRUE(std::none_of(devices.begin(), devices.end(), [](const HidDeviceInfo& device) {
        return device.vendorId == link::kVendorId;
    }));

    OpenFailure failure = OpenFailure::None;
    EXPECT_EQ(platform.hid->open("/dev/hidraw-that-is-not-there", failure), nullptr);
    EXPECT_EQ(failure, OpenFailure::NotFound);

    EXPECT_TRUE(platform.pipe->enumerate(link::kVendorId, link::kPipeProduct).empty());
    failure = OpenFailure::None;
    EXPECT_EQ(platform.pipe->open(link::kVendorId, link::kPipeProduct, 1, failure), nullptr);
    EXPECT_EQ(failure, OpenFailure::NotFound);

    // Nothing of the programmer's vendor is present, so nothing is pending.
    platform.hid->waitForPendingInstallations();
}

TEST(RealPlatform, BusyWaitLastsAtLeastItsTime) {
    const auto start = std::chrono::steady_clock::now();
    realPlatform().clock->busyWaitUs(800);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(800));
}

}  // namespace
}  // namespace korvid::platform
