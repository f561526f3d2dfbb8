// Facts about USB devices read from sysfs without opening them: where a device
// sits (its location, the name sysfs gives it) and its serial string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvid::platform {

inline constexpr const char* kUsbDevicesDir = "/sys/bus/usb/devices";

// The USB device named in a resolved sysfs path, e.g. "1-2.3" in
// ".../usb1/1-2/1-2.3/1-2.3:1.0/0003:4C7B:0323.0005": the last component that
// names a USB device ("bus-port.port..."), not one of its interfaces ("1-2.3:1.0")
// or a root hub ("usb1"). nullopt when the path has none (a device not on USB).
std::optional<std::string> usbLocationInSysfsPath(std::string_view path);

// The serial string of the USB device at `location` (its sysfs attribute
// "serial", without the line end); "" when the device has none or is gone.
std::string usbSerialAt(const std::string& location,
                        const std::string& devicesDir = kUsbDevicesDir);

}  // namespace korvid::platform
