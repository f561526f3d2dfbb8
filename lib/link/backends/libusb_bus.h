// The older programmer's bulk pipes through libusb-1.0.
//
// Time bounds: every transfer waits at most the time-out it is given (0 counts as
// 1 ms, since libusb reads 0 as "no limit"); opening does no bus traffic beyond
// libusb's own control requests, which libusb bounds itself.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "link/platform.h"

namespace korvid::platform {

// Every listing and every open starts libusb afresh: a context that lives on sees
// a device that re-appeared (the programmer restarting in its boot mode) only when
// udev announces it, and systems without a running udev never do.
class LibusbBus final : public PipeBus {
public:
    // The matching devices ordered by bus and port path, with their location
    // ("1-2.3"), serial string (from sysfs, so the device is not opened) and usbfs
    // node. Empty when libusb cannot start.
    std::vector<PipeDeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override;

    // Orders the matching devices by bus and port path and opens the n-th:
    // interface 0 claimed (the kernel driver detached while it is held), its
    // first bulk-OUT endpoint as the write pipe and first bulk-IN as the read
    // pipe. NotFound also when libusb cannot start; AccessDenied when the device
    // node may not be opened by this user; Other when the device lacks the pipes.
    std::unique_ptr<PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                     OpenFailure& failure) override;
};

}  // namespace korvid::platform
