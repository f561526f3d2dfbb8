#include "link/backends/usb_selection.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace korvid::platform {

std::vector<size_t> orderByLocation(std::span<const UsbLocation> locations) {
    std::vector<size_t> order(locations.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&locations](size_t a, size_t b) {
        return std::tie(locations[a].bus, locations[a].ports) <
               std::tie(locations[b].bus, locations[b].ports);
    });
    return order;
}

std::string formatUsbLocation(const UsbLocation& location) {
    if (location.ports.empty()) {
        return "usb" + std::to_string(location.bus);
    }
    std::string text = std::to_string(location.bus) + "-";
    for (size_t i = 0; i < location.ports.size(); ++i) {
        text += (i == 0 ? "" : ".") + std::to_string(location.ports[i]);
    }
    return text;
}

std::optional<BulkPipes> firstBulkPipes(std::span<const EndpointDescription> endpoints) {
    constexpr uint8_t kTransferTypeMask = 0x03;
    constexpr uint8_t kBulk = 0x02;
    constexpr uint8_t kDirectionIn = 0x80;
    std::optional<uint8_t> in;
    std::optional<uint8_t> out;
    for (const EndpointDescription& endpoint : endpoints) {
        if ((endpoint.attributes & kTransferTypeMask) != kBulk) {
            continue;
        }
        std::optional<uint8_t>& slot = (endpoint.address & kDirectionIn) ? in : out;
        if (!slot) {
            slot = endpoint.address;
        }
    }
    if (!in || !out) {
        return std::nullopt;
    }
    return BulkPipes{*in, *out};
}

}  // namespace korvid::platform
