// The Windows buses against the device tree of the system they run on. Under wine
// the HID class lists wine's own virtual devices and there is no still-image
// driver; a HID interface list that is empty is reported as skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include "link/backends/windows/performance_counter_clock.h"
#include "link/backends/windows/usbscan_bus.h"
#include "link/backends/windows/windows_hid_bus.h"

namespace korvid::platform {
namespace {

constexpr uint16_t kProgrammerVendor = 0x4C7B;

TEST(WindowsHidBus, ListsEachPresentInterfaceOnceWithItsIdentifiersAndOpensIt) {
    PerformanceCounterClock clock;
    WindowsHidBus bus(clock, kProgrammerVendor);
    const std::vector<HidDeviceInfo> devices = bus.enumerate();
    if (devices.empty()) {
        GTEST_SKIP() << "this system lists no HID interface";
    }
    size_t opened = 0;
    for (size_t i = 0; i < devices.size(); ++i) {
        SCOPED_TRACE(devices[i].path);
        EXPECT_FALSE(devices[i].path.empty());
        EXPECT_TRUE(devices[i].vendorId != 0 || devices[i].productId != 0);
        for (size_t j = 0; j < i; ++j) {
            EXPECT_NE(devices[j].path, devices[i].path);
        }
        OpenFailure failure = OpenFailure::None;
        const std::unique_ptr<HidDevice> device = bus.open(devices[i].path, failure);
        if (!device) {
            // A keyboard or mouse that the system keeps for itself.
            EXPECT_TRUE(failure == OpenFailure::AccessDenied || failure == OpenFailure::Busy);
            continue;
        }
        ++opened;
        const ReportLengths lengths = device->reportLengths();
        EXPECT_GT(lengths.input + lengths.output + lengths.feature, 0u);
    }
    EXPECT_GT(opened, 0u) << "no interface opened at all";

    OpenFailure failure = OpenFailure::None;
    EXPECT_EQ(bus.open("\\\\?\\hid#vid_4c7b&pid_0323#gone#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                       failure),
              nullptr);
    EXPECT_EQ(failure, OpenFailure::NotFound);
}

TEST(WindowsHidBus, TheInstallationWaitEnds) {
    PerformanceCounterClock clock;
    WindowsHidBus bus(clock, kProgrammerVendor);
    bus.waitForPendingInstallations();  // bounded by 10 s whatever the system answers
    SUCCEED();
}

TEST(UsbscanBus, WithoutStillImageDevicesNothingIsListedOrOpened) {
    UsbscanBus bus;
    if (!bus.enumerate(kProgrammerVendor, 0x030D).empty()) {
        GTEST_SKIP() << "an older programmer is attached";
    }
    OpenFailure failure = OpenFailure::None;
    EXPECT_EQ(bus.open(kProgrammerVendor, 0x030D, 1, failure), nullptr);
    EXPECT_EQ(failure, OpenFailure::NotFound);
}

TEST(PerformanceCounterClock, BusyWaitsAtLeastTheirTimeAndNeverGoesBack) {
    PerformanceCounterClock clock;
    const uint64_t start = clock.nowUs();
    clock.busyWaitUs(800);
    const uint64_t after = clock.nowUs();
    EXPECT_GE(after - start, 800u);
    clock.sleepMs(1);
    EXPECT_GE(clock.nowUs(), after);
}

}  // namespace
}  // namespace korvid::platform
