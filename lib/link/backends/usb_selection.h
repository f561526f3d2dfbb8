// Choosing the older programmer's USB device and its data pipes: pure decisions
// over what libusb lists, kept apart from libusb so they can be tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvid::platform {

// Where a device sits: its bus and the port numbers from the root hub down.
struct UsbLocation {
    uint8_t bus = 0;
    std::vector<uint8_t> ports;
};

// The index into `locations` of the n-th (1-based) device when they are ordered
// by bus, then by port path (a hub's own port before the ports behind it).
// libusb lists the newest device first, so its own order is not stable.
std::optional<size_t> nthByLocation(std::span<const UsbLocation> locations, unsigned n);

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
