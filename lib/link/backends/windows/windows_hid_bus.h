// The HID bus on Windows: the present HID interfaces through SetupAPI, their
// identifiers and report lengths through the HID class services.
//
// Time bounds: a report read waits at most the time-out it is given, a report
// write at most 5 s (both then cancelled); a feature transfer is bounded by the
// USB stack's own control-transfer time-out; the installation wait by 10 s.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/platform.h"

namespace korvid::platform {

class WindowsHidBus final : public HidBus {
public:
    // clock paces the installation wait; programmerVendorId names the interfaces
    // whose access is checked and that must open before that wait ends.
    WindowsHidBus(Clock& clock, uint16_t programmerVendorId);

    // Every present HID interface in SetupAPI's order, with vendor and product from
    // HidD_GetAttributes (the interface opened without access rights, which needs
    // no permission and disturbs no one); location and serial from the USB device
    // above it. The programmer vendor's interfaces are opened for reading and
    // writing once, and closed, to learn whether they are accessible.
    std::vector<HidDeviceInfo> enumerate() override;

    // Opens the interface for overlapped reading and writing, shared, and reads its
    // capabilities. AccessDenied when Windows refuses access, Busy when another
    // program holds it exclusively, NotFound when it is gone, Other when its
    // capabilities cannot be read.
    std::unique_ptr<HidDevice> open(const std::string& path, OpenFailure& failure) override;

    // Waits, at most 10 s in 50 ms steps, until Windows has no device installation
    // pending (CMP_WaitNoPendingInstallEvents) and every interface of the
    // programmer's vendor opens for reading and writing.
    void waitForPendingInstallations() override;

private:
    Clock& clock_;
    uint16_t programmerVendorId_;
};

// Why CreateFile of a device failed, from its Windows error.
OpenFailure openFailureFromWindowsError(unsigned long error);

}  // namespace korvid::platform
