#include "link/backends/windows/usbscan_bus.h"

#include <windows.h>

// SetupAPI needs the basic Windows types first.
#include <devguid.h>
#include <setupapi.h>
#include <usbscan.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

#include "link/backends/windows/device_instance.h"
#include "link/backends/windows/overlapped_transfer.h"
#include "link/backends/windows/unique_handle.h"
#include "link/backends/windows/usbscan_pipe_device.h"
#include "link/backends/windows/windows_hid_bus.h"

namespace korvid::platform {
namespace {

constexpr std::string_view kNamePrefix = "\\\\.\\Usbscan";

// The "CreateFileName" value of a device's software key; "" when there is none.
std::string createFileNameOf(HDEVINFO list, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE) {
        return "";
    }
    char name[64] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    const bool read = RegQueryValueExA(key, "CreateFileName", nullptr, &type,
                                       reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    return read ? name : "";
}

}  // namespace

std::string usbscanDeviceName(unsigned index) {
    return std::string(kNamePrefix) + std::to_string(index);
}

std::optional<unsigned> usbscanIndexOf(std::string_view deviceName) {
    if (deviceName.size() <= kNamePrefix.size() ||
        !std::equal(kNamePrefix.begin(), kNamePrefix.end(), deviceName.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        })) {
        return std::nullopt;
    }
    const std::string_view digits = deviceName.substr(kNamePrefix.size());
    unsigned index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size() || index >= kUsbscanDevices) {
        return std::nullopt;
    }
    return index;
}

std::vector<PipeDeviceInfo> UsbscanBus::enumerate(uint16_t vendorId, uint16_t productId) {
    std::vector<std::pair<unsigned, PipeDeviceInfo>> found;
    HDEVINFO list = SetupDiGetClassDevsA(&GUID_DEVCLASS_IMAGE, nullptr, nullptr, DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) {
        return {};
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD member = 0; SetupDiEnumDeviceInfo(list, member, &device); ++member) {
        const std::string id = instanceIdOf(device.DevInst);
        const std::optional<UsbIds> ids = usbIdsOfInstanceId(id);
        const std::string name = createFileNameOf(list, device);
        const std::optional<unsigned> index = usbscanIndexOf(name);
        if (!ids || ids->vendorId != vendorId || ids->productId != productId || !index) {
            continue;
        }
        const UsbPlace place = usbPlaceOfDeviceInstance(device.DevInst);
        found.emplace_back(*index, PipeDeviceInfo{place.location, place.serial, name, true});
    }
    SetupDiDestroyDeviceInfoList(list);
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PipeDeviceInfo> devices;
    for (auto& entry : found) {
        devices.push_back(std::move(entry.second));
    }
    return devices;
}

std::unique_ptr<PipeDevice> UsbscanBus::open(uint16_t vendorId, uint16_t productId, unsigned n,
                                             OpenFailure& failure) {
    failure = OpenFailure::NotFound;
    unsigned matches = 0;
    for (unsigned index = 0; index < kUsbscanDevices; ++index) {
        UniqueHandle handle(CreateFileA(usbscanDeviceName(index).c_str(),
                                        GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr));
        if (!handle.valid()) {
            if (openFailureFromWindowsError(GetLastError()) == OpenFailure::AccessDenied) {
                failure = OpenFailure::AccessDenied;
            }
            continue;
        }
        DEVICE_DESCRIPTOR descriptor{};
        if (!boundedDeviceIoControl(handle.get(), IOCTL_GET_DEVICE_DESCRIPTOR, &descriptor,
                                    sizeof descriptor, &descriptor, sizeof descriptor,
                                    UsbscanPipeDevice::kRequestTimeoutMs) ||
            descriptor.usVendorId != vendorId || descriptor.usProductId != productId) {
            continue;
        }
        if (++matches == n) {
            failure = OpenFailure::None;
            return std::make_unique<UsbscanPipeDevice>(std::move(handle));
        }
    }
    return nullptr;
}

}  // namespace korvid::platform
