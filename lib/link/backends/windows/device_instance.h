// What Windows' device tree tells about a USB device without opening it: its
// identifiers, its serial string and where it sits, read from its device
// instance (the device manager's node).
#pragma once

#include <windows.h>

#include <cfgmgr32.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::platform {

struct UsbIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// The identifiers in a device instance or hardware identifier such as
// "USB\VID_4C7B&PID_030D\SIM0001" (any case); nullopt without both.
std::optional<UsbIds> usbIdsOfInstanceId(std::string_view instanceId);

// Whether the instance identifier names a whole USB device ("USB\VID_...&PID_...\..."),
// not one interface of a composite device ("...&MI_00\...").
bool isUsbDeviceInstanceId(std::string_view instanceId);

// The USB serial string in a USB device's instance identifier: its last part.
// Windows makes up a part with '&' in it for a device without a serial string
// (or with one it cannot use), so such a part is no serial: "".
std::string usbSerialOfInstanceId(std::string_view instanceId);

// Where a programmer sits and its serial string, from its device instance.
struct UsbPlace {
    std::string location;  // Windows' location text of the USB device, "Port_#0003.Hub_#0001"
    std::string serial;    // "" when the device has none
};

// The USB device that the device instance belongs to (itself, or the nearest
// ancestor that is a whole USB device) and its place; empty texts when the
// device is not on USB or the device tree does not say.
UsbPlace usbPlaceOfDeviceInstance(DEVINST instance);

// The instance identifier of a device instance; "" when it cannot be read.
std::string instanceIdOf(DEVINST instance);

}  // namespace korvid::platform
