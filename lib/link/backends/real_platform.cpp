#include "link/backends/real_platform.h"

#include "link/backends/hidapi_bus.h"
#include "link/backends/libusb_bus.h"
#include "link/backends/system_clock.h"
#include "link/hid_link.h"

namespace korvid::platform {

namespace {

// The three real backends, alive from first use until the library is unloaded.
// Members are destroyed in reverse order: libusb and hidapi end before the clock
// that the HID bus paces its waits with.
struct RealPlatform {
    SystemClock clock;
    HidapiBus hid{clock, link::kVendorId};
    LibusbBus pipe;
    Platform platform{&hid, &pipe, &clock};
};

}  // namespace

Platform& realPlatform() {
    static RealPlatform real;
    return real.platform;
}

}  // namespace korvid::platform
