// Facts about the kernel's hidraw nodes, read from sysfs and /dev: a node's report
// descriptor, the nodes that belong to one vendor, and why a node cannot be opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/platform.h"

namespace korvid::platform {

inline constexpr const char* kHidrawClassDir = "/sys/class/hidraw";

struct HidIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// The identifiers in the name the kernel gives a HID device, "BBBB:VVVV:PPPP.NNNN"
// (bus, vendor, product, instance, upper-case hex).
std::optional<HidIds> parseHidDeviceName(const std::string& name);

// The report descriptor of the node at devicePath ("/dev/hidrawN" or a link to it), read from
// <classDir>/hidrawN/device/report_descriptor; nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> readReportDescriptor(
    const std::string& devicePath, const std::string& classDir = kHidrawClassDir);

// The USB location ("1-2.3") of the device behind the node at devicePath, found by
// resolving <classDir>/hidrawN/device; "" when it is not on USB or is gone.
std::string usbLocationOfHidrawNode(const std::string& devicePath,
                                    const std::string& classDir = kHidrawClassDir);

// The device paths ("/dev/hidrawN") of every hidraw node whose HID device has this
// vendor identifier, in name order.
std::vector<std::string> hidrawNodesOfVendor(uint16_t vendorId,
                                             const std::string& classDir = kHidrawClassDir);

// Whether the calling process may open the node for reading and writing.
bool isReadWriteAccessible(const std::string& devicePath);

// Why an open() of a device node failed, from its errno.
OpenFailure openFailureFromErrno(int error);

// Why the node cannot be opened read-write: opens it once more and reads the
// errno. Other when it opens after all.
OpenFailure diagnoseOpenFailure(const std::string& devicePath);

}  // namespace korvid::platform
