// The older programmer on Windows, through the still-image USB pipe interface:
// the devices "\\.\Usbscan0" to "\\.\Usbscan127" that the still-image USB driver
// (usbscan.sys) creates for the USB devices bound to it.
//
// Time bounds: a transfer waits at most the time-out it is given, every other
// request at most 5 s; both are then cancelled.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/platform.h"

namespace korvid::platform {

inline constexpr unsigned kUsbscanDevices = 128;

// "\\.\Usbscan<index>".
std::string usbscanDeviceName(unsigned index);

// The index in a still-image device name, "\\.\Usbscan3" -> 3 (any case);
// nullopt for another name or an index of 128 or more.
std::optional<unsigned> usbscanIndexOf(std::string_view deviceName);

class UsbscanBus final : public PipeBus {
public:
    // The still-image devices with these identifiers, from the device tree (opens
    // nothing): each device instance of the imaging class, its identifiers from
    // its instance identifier, its name from the "CreateFileName" value that the
    // driver keeps in the device's software key, ordered by the index in that
    // name. Location and serial as for the HID programmer.
    std::vector<PipeDeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override;

    // Opens "\\.\Usbscan0", "\\.\Usbscan1", … (overlapped, shared) and asks each
    // for its device descriptor (IOCTL_GET_DEVICE_DESCRIPTOR); the n-th whose
    // identifiers match is kept. NotFound when there are fewer; AccessDenied when
    // some name refused access and too few matched.
    std::unique_ptr<PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                     OpenFailure& failure) override;
};

}  // namespace korvid::platform
