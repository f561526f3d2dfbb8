// The real platform on Windows: the HID programmer through SetupAPI and the HID
// class services, the older programmer through the still-image pipe interface,
// the performance counter as the clock.
#include "link/backends/real_platform.h"

#include "link/backends/windows/performance_counter_clock.h"
#include "link/backends/windows/usb_device_tree.h"
#include "link/backends/windows/usbscan_bus.h"
#include "link/backends/windows/windows_hid_bus.h"
#include "link/hid_link.h"

namespace korvid::platform {

namespace {

// Alive from first use until the library is unloaded; the HID bus paces its
// installation wait with the clock, which therefore goes last.
struct RealPlatform {
    PerformanceCounterClock clock;
    WindowsHidBus hid{clock, link::kVendorId};
    UsbscanBus pipe;
    Platform platform{&hid, &pipe, &clock, &usbDeviceTree};
};

}  // namespace

Platform& realPlatform() {
    static RealPlatform real;
    return real.platform;
}

}  // namespace korvid::platform
