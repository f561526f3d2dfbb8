#include "link/backends/hidapi_bus.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <unordered_set>

#include "link/backends/hidapi_device.h"
#include "link/backends/hidraw_nodes.h"
#include "link/backends/installation_wait.h"
#include "link/backends/report_descriptor.h"
#include "link/backends/system_clock.h"
#include "link/backends/udev_queue.h"
#include "link/backends/usb_sysfs.h"

namespace korvid::platform {

std::vector<HidDeviceInfo> dropRepeatedPaths(std::vector<HidDeviceInfo> devices) {
    std::unordered_set<std::string> seen;
    std::erase_if(
        devices, [&seen](const HidDeviceInfo& device) { return !seen.insert(device.path).second; });
    return devices;
}

HidapiBus::HidapiBus(Clock& clock, uint16_t programmerVendorId)
    : clock_(clock), programmerVendorId_(programmerVendorId), ready_(hid_init() == 0) {}

HidapiBus::~HidapiBus() {
    if (ready_) {
        hid_exit();
    }
}

std::vector<HidDeviceInfo> HidapiBus::enumerate() {
    if (!ready_) {
        return {};
    }
    std::vector<HidDeviceInfo> devices;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* entry = list; entry != nullptr; entry = entry->next) {
        if (entry->path != nullptr) {
            HidDeviceInfo device;
            device.path = entry->path;
            device.vendorId = entry->vendor_id;
            device.productId = entry->product_id;
            devices.push_back(std::move(device));
        }
    }
    hid_free_enumeration(list);
    devices = dropRepeatedPaths(std::move(devices));
    for (HidDeviceInfo& device : devices) {
        device.location = usbLocationOfHidrawNode(device.path);
        device.serial = usbSerialAt(device.location);
        device.accessible = isReadWriteAccessible(device.path);
    }
    return devices;
}

std::unique_ptr<HidDevice> HidapiBus::open(const std::string& path, OpenFailure& failure) {
    failure = OpenFailure::None;
    if (!ready_) {
        failure = OpenFailure::NotFound;
        return nullptr;
    }
    hid_device* handle = hid_open_path(path.c_str());
    if (handle == nullptr) {
        failure = diagnoseOpenFailure(path);
        return nullptr;
    }
    const auto descriptor = readReportDescriptor(path);
    const auto summary = descriptor ? summarizeReportDescriptor(*descriptor) : std::nullopt;
    if (!summary) {
        hid_close(handle);
        failure = OpenFailure::Other;
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle, *summary);
}

void HidapiBus::waitForPendingInstallations() {
    const InstallationWaitEnvironment environment{
        .eventQueueEmpty = udevEventQueueIsEmpty,
        .programmerNodesReady =
            [this] {
                const auto nodes = hidrawNodesOfVendor(programmerVendorId_);
                return std::all_of(nodes.begin(), nodes.end(), isReadWriteAccessible);
            },
        .nowMs = monotonicMs,
        .sleepMs = [this](uint32_t milliseconds) { clock_.sleepMs(milliseconds); },
    };
    waitForSettledInstallations(environment);
}

}  // namespace korvid::platform
