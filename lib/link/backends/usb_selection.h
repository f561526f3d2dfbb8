// Choosing the older programmer's USB device and its data pipes: pure decisions
// over what libusb lists, kept apart from libusb so they can be tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvid::platform {

// Where a device sits: its bus and the port numbers from the root hub down.
struct UsbLocation {
    uint8_t bus = 0;
    std::vector<uint8_t> ports;
};

// The indices into `locations` ordered by bus, then by port path (a hub's own port
// before the ports behind it). libusb lists the newest device first, so its own
// order is not stable.
std::vector<size_t> orderByLocation(std::span<const UsbLocation> locations);

// The location as sysfs names the USB device: "B-P.P.P" (bus, then the ports
// from the root hub down, in decimal); "usbB" for a root hub itself.
std::string formatUsbLocation(const UsbLocation& location);

struct EndpointDescription {
    uint8_t address = 0;     // bit 7 set: IN
    uint8_t attributes = 0;  // bits 0-1: transfer type, 2 = bulk
};

struct BulkPipes {
    uint8_t in = 0;   // the read data pipe
    uint8_t out = 0;  // the write data pipe
};

// The first bulk-IN and the first bulk-OUT endpoint; nullopt without both.
std::optional<BulkPipes> firstBulkPipes(std::span<const EndpointDescription> endpoints);

}  // namespace korvid::platform
