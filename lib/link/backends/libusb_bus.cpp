#include "link/backends/libusb_bus.h"

#include <libusb.h>

#include <cstdio>
#include <span>
#include <utility>
#include <vector>

#include "link/backends/hidraw_nodes.h"
#include "link/backends/libusb_pipe_device.h"
#include "link/backends/libusb_results.h"
#include "link/backends/usb_selection.h"
#include "link/backends/usb_sysfs.h"

namespace korvid::platform {

namespace {

// The deepest port path USB allows (seven tiers below the root).
constexpr int kMaxPortDepth = 7;

UsbLocation locationOf(libusb_device* device) {
    uint8_t ports[kMaxPortDepth] = {};
    const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
    return {libusb_get_bus_number(device),
            std::vector<uint8_t>(ports, ports + (depth > 0 ? depth : 0))};
}

// The bulk pipes of interface 0, alternate setting 0, of the active configuration.
std::optional<BulkPipes> bulkPipesOfInterfaceZero(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS) {
        return std::nullopt;
    }
    std::vector<EndpointDescription> endpoints;
    for (const libusb_interface& interface : std::span(config->interface, config->bNumInterfaces)) {
        if (interface.num_altsetting < 1 || interface.altsetting[0].bInterfaceNumber != 0) {
            continue;
        }
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        for (const libusb_endpoint_descriptor& endpoint :
             std::span(setting.endpoint, setting.bNumEndpoints)) {
            endpoints.push_back({endpoint.bEndpointAddress, endpoint.bmAttributes});
        }
    }
    libusb_free_config_descriptor(config);
    return firstBulkPipes(endpoints);
}

// A libusb context of its own, ended when it goes out of scope unless released.
class Context {
public:
    Context() {
        if (libusb_init(&context_) != LIBUSB_SUCCESS) {
            context_ = nullptr;
        }
    }
    ~Context() {
        if (context_ != nullptr) {
            libusb_exit(context_);
        }
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    libusb_context* get() const { return context_; }
    libusb_context* release() { return std::exchange(context_, nullptr); }

private:
    libusb_context* context_ = nullptr;
};

// libusb's device list, freed (each device unreferenced) when it goes out of scope;
// an open handle holds its own reference.
class DeviceList {
public:
    explicit DeviceList(libusb_context* usb) {
        const ssize_t count = usb != nullptr ? libusb_get_device_list(usb, &list_) : 0;
        if (count > 0) {
            devices_ = std::span(list_, static_cast<size_t>(count));
        }
    }
    ~DeviceList() {
        if (list_ != nullptr) {
            libusb_free_device_list(list_, 1);
        }
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    std::span<libusb_device*> devices() const { return devices_; }

private:
    libusb_device** list_ = nullptr;
    std::span<libusb_device*> devices_;
};

struct LocatedDevice {
    libusb_device* device;
    UsbLocation location;
};

// The listed devices with these identifiers, ordered by bus and port path.
std::vector<LocatedDevice> matchingDevices(const DeviceList& list, uint16_t vendorId,
                                           uint16_t productId) {
    std::vector<libusb_device*> matches;
    std::vector<UsbLocation> locations;
    for (libusb_device* device : list.devices()) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) == LIBUSB_SUCCESS &&
            descriptor.idVendor == vendorId && descriptor.idProduct == productId) {
            matches.push_back(device);
            locations.push_back(locationOf(device));
        }
    }
    std::vector<LocatedDevice> ordered;
    for (size_t index : orderByLocation(locations)) {
        ordered.push_back({matches[index], locations[index]});
    }
    return ordered;
}

// The usbfs node of a device, "/dev/bus/usb/BBB/DDD".
std::string usbfsNode(libusb_device* device) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", libusb_get_bus_number(device),
                  libusb_get_device_address(device));
    return node;
}

}  // namespace

std::vector<PipeDeviceInfo> LibusbBus::enumerate(uint16_t vendorId, uint16_t productId) {
    const Context usb;
    const DeviceList list(usb.get());
    std::vector<PipeDeviceInfo> devices;
    for (const LocatedDevice& match : matchingDevices(list, vendorId, productId)) {
        const std::string location = formatUsbLocation(match.location);
        const std::string node = usbfsNode(match.device);
        devices.push_back({location, usbSerialAt(location), node, isReadWriteAccessible(node)});
    }
    return devices;
}

std::unique_ptr<PipeDevice> LibusbBus::open(uint16_t vendorId, uint16_t productId, unsigned n,
                                            OpenFailure& failure) {
    failure = OpenFailure::NotFound;
    Context usb;
    if (usb.get() == nullptr) {
        return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    std::optional<BulkPipes> pipes;
    int code = LIBUSB_ERROR_NOT_FOUND;
    {
        const DeviceList list(usb.get());
        const std::vector<LocatedDevice> matches = matchingDevices(list, vendorId, productId);
        if (n >= 1 && n <= matches.size()) {
            pipes = bulkPipesOfInterfaceZero(matches[n - 1].device);
            code = libusb_open(matches[n - 1].device, &handle);
        }
    }
    if (code != LIBUSB_SUCCESS) {
        failure = openFailureFromLibusb(code);
        return nullptr;
    }
    if (!pipes) {
        libusb_close(handle);
        failure = OpenFailure::Other;
        return nullptr;
    }
    // Not every platform has kernel drivers to detach; a refusal here is harmless.
    libusb_set_auto_detach_kernel_driver(handle, 1);
    code = libusb_claim_interface(handle, 0);
    if (code != LIBUSB_SUCCESS) {
        libusb_close(handle);
        failure = openFailureFromLibusb(code);
        return nullptr;
    }
    failure = OpenFailure::None;
    libusb_context* context = usb.release();
    return std::make_unique<LibusbPipeDevice>(context, handle, *pipes);
}

}  // namespace korvid::platform
