// The HID bus through hidapi's hidraw backend.
//
// Time bounds: a report read waits at most the time-out it is given (negative
// time-outs count as 0); a report write or feature transfer is bounded by the
// kernel's USB time-out of 5 s for interrupt and control transfers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/platform.h"

namespace korvid::platform {

// Keeps the first entry of every path, in the order given. hidapi lists an
// interface once per top-level usage, all with the same path.
std::vector<HidDeviceInfo> dropRepeatedPaths(std::vector<HidDeviceInfo> devices);

class HidapiBus final : public HidBus {
public:
    // clock paces the installation wait; programmerVendorId names the nodes that
    // must become accessible before it ends.
    HidapiBus(Clock& clock, uint16_t programmerVendorId);
    ~HidapiBus() override;
    HidapiBus(const HidapiBus&) = delete;
    HidapiBus& operator=(const HidapiBus&) = delete;

    // Every present HID interface once, in udev's order (sorted by sysfs path, so
    // by bus and port: stable while the same devices stay attached). Empty when
    // hidapi cannot start.
    std::vector<HidDeviceInfo> enumerate() override;

    // Opens the hidraw node read-write and learns its report lengths from its
    // report descriptor. AccessDenied when the node exists but this user may not
    // open it (no udev rule yet), NotFound when it is gone, Other when its report
    // descriptor cannot be read or is malformed.
    std::unique_ptr<HidDevice> open(const std::string& path, OpenFailure& failure) override;

    // Waits, at most 10 s in 50 ms steps, until udev's event queue is empty and
    // every hidraw node of the programmer's vendor can be opened read-write.
    void waitForPendingInstallations() override;

private:
    Clock& clock_;
    uint16_t programmerVendorId_;
    bool ready_;
};

}  // namespace korvid::platform
