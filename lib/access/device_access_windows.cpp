// Whether an attached programmer can be used, on Windows: a programmer is seen in
// the device tree as a USB device; it can be used when its function is there and
// opens (the HID programmer's interface through Windows' HID driver, the older
// programmer's still-image device through the still-image USB driver).
#include "access/device_access.h"

#include <windows.h>

// SetupAPI needs the basic Windows types first.
#include <setupapi.h>

#include "link/backends/windows/device_instance.h"
#include "link/backends/windows/performance_counter_clock.h"
#include "link/backends/windows/usbscan_bus.h"
#include "link/backends/windows/windows_hid_bus.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"

namespace korvid::access {
namespace {

bool isProgrammerProduct(uint16_t product) {
    return product == link::kHidProductNormal || product == link::kHidProductFirmwareUpdate ||
           product == link::kPipeProduct;
}

// The instance identifiers of the programmers among the present USB devices.
std::vector<std::string> programmerDeviceInstances() {
    std::vector<std::string> found;
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) {
        return found;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD member = 0; SetupDiEnumDeviceInfo(list, member, &device); ++member) {
        const std::string id = platform::instanceIdOf(device.DevInst);
        const std::optional<platform::UsbIds> ids = platform::usbIdsOfInstanceId(id);
        if (platform::isUsbDeviceInstanceId(id) && ids && ids->vendorId == link::kVendorId &&
            isProgrammerProduct(ids->productId)) {
            found.push_back(id);
        }
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}

// Whether any programmer function is there and may be opened.
bool anyProgrammerUsable() {
    platform::PerformanceCounterClock clock;
    platform::WindowsHidBus hid(clock, link::kVendorId);
    for (const platform::HidDeviceInfo& device : hid.enumerate()) {
        if (device.vendorId == link::kVendorId && isProgrammerProduct(device.productId) &&
            device.accessible) {
            return true;
        }
    }
    return !platform::UsbscanBus().enumerate(link::kVendorId, link::kPipeProduct).empty();
}

}  // namespace

AccessReport probeProgrammerAccess(const SystemPaths&) {
    AccessReport report;
    const std::vector<std::string> devices = programmerDeviceInstances();
    if (anyProgrammerUsable()) {
        report.presence = Presence::Accessible;
    } else if (!devices.empty()) {
        report.presence = Presence::NotAccessible;
        report.blockedNodes = devices;
    }
    return report;
}

std::string accessAdvice(const AccessReport& report) {
    if (report.presence != Presence::NotAccessible) {
        return {};
    }
    std::string devices;
    for (const std::string& device : report.blockedNodes) {
        devices += (devices.empty() ? "" : ", ") + device;
    }
    return "The programmer is connected, but Windows offers no usable device for " + devices +
           ": the HID programmer needs Windows' own HID driver (it binds by itself; check that "
           "no other program holds the device), the older programmer the still-image USB "
           "driver (usbscan.sys) bound to USB\\VID_4C7B&PID_030D. See the README's Windows "
           "section.";
}

}  // namespace korvid::access
