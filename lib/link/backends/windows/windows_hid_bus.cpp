#include "link/backends/windows/windows_hid_bus.h"

#include <windows.h>

// SetupAPI and the HID class services need the basic Windows types first.
// mingw-w64's hidsdi.h declares C functions without saying so to C++.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

#include <optional>
#include <vector>

#include "link/backends/installation_wait.h"
#include "link/backends/windows/device_instance.h"
#include "link/backends/windows/unique_handle.h"
#include "link/backends/windows/windows_hid_device.h"

// In cfgmgr32.dll, but not declared by the mingw-w64 headers.
extern "C" __declspec(dllimport) DWORD WINAPI CMP_WaitNoPendingInstallEvents(DWORD timeoutMs);

namespace korvid::platform {
namespace {

struct InterfacePath {
    std::string path;
    DEVINST instance = 0;
};

// The device paths of the present HID interfaces, in SetupAPI's order.
std::vector<InterfacePath> presentInterfaces() {
    std::vector<InterfacePath> found;
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    HDEVINFO list =
        SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) {
        return found;
    }
    SP_DEVICE_INTERFACE_DATA hidInterface{};
    hidInterface.cbSize = sizeof hidInterface;
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(list, nullptr, &hidClass, index, &hidInterface); ++index) {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailA(list, &hidInterface, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
            continue;
        }
        std::vector<uint8_t> storage(required);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (SetupDiGetDeviceInterfaceDetailA(list, &hidInterface, detail, required, nullptr,
                                             &device)) {
            found.push_back({detail->DevicePath, device.DevInst});
        }
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}

UniqueHandle openPath(const std::string& path, DWORD access, DWORD flags) {
    return UniqueHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, flags, nullptr));
}

// Whether this user may open the hidInterface for reading and writing: only a refusal
// of access says no (an hidInterface held by another program is still accessible).
bool mayOpenForReadingAndWriting(const std::string& path) {
    if (openPath(path, GENERIC_READ | GENERIC_WRITE, 0).valid()) {
        return true;
    }
    return GetLastError() != ERROR_ACCESS_DENIED;
}

// Vendor and product of an hidInterface, read without access rights.
std::optional<HIDD_ATTRIBUTES> attributesOf(const std::string& path) {
    const UniqueHandle handle = openPath(path, 0, 0);
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!handle.valid() || !HidD_GetAttributes(handle.get(), &attributes)) {
        return std::nullopt;
    }
    return attributes;
}

std::optional<ReportLengths> capabilitiesOf(HANDLE handle) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(handle, &preparsed)) {
        return std::nullopt;
    }
    HIDP_CAPS caps{};
    const bool read = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
    HidD_FreePreparsedData(preparsed);
    if (!read) {
        return std::nullopt;
    }
    return ReportLengths{caps.InputReportByteLength, caps.OutputReportByteLength,
                         caps.FeatureReportByteLength};
}

}  // namespace

OpenFailure openFailureFromWindowsError(unsigned long error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return OpenFailure::AccessDenied;
        case ERROR_SHARING_VIOLATION:
            return OpenFailure::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
            return OpenFailure::NotFound;
        default:
            return OpenFailure::Other;
    }
}

WindowsHidBus::WindowsHidBus(Clock& clock, uint16_t programmerVendorId)
    : clock_(clock), programmerVendorId_(programmerVendorId) {}

std::vector<HidDeviceInfo> WindowsHidBus::enumerate() {
    std::vector<HidDeviceInfo> devices;
    for (const InterfacePath& hidInterface : presentInterfaces()) {
        const std::optional<HIDD_ATTRIBUTES> attributes = attributesOf(hidInterface.path);
        if (!attributes) {
            continue;
        }
        HidDeviceInfo info;
        info.path = hidInterface.path;
        info.vendorId = attributes->VendorID;
        info.productId = attributes->ProductID;
        const UsbPlace place = usbPlaceOfDeviceInstance(hidInterface.instance);
        info.location = place.location;
        info.serial = place.serial;
        info.accessible =
            info.vendorId != programmerVendorId_ || mayOpenForReadingAndWriting(hidInterface.path);
        devices.push_back(std::move(info));
    }
    return devices;
}

std::unique_ptr<HidDevice> WindowsHidBus::open(const std::string& path, OpenFailure& failure) {
    UniqueHandle handle = openPath(path, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
    if (!handle.valid()) {
        failure = openFailureFromWindowsError(GetLastError());
        return nullptr;
    }
    const std::optional<ReportLengths> lengths = capabilitiesOf(handle.get());
    if (!lengths) {
        failure = OpenFailure::Other;
        return nullptr;
    }
    failure = OpenFailure::None;
    return std::make_unique<WindowsHidDevice>(std::move(handle), *lengths);
}

void WindowsHidBus::waitForPendingInstallations() {
    InstallationWaitEnvironment environment;
    environment.eventQueueEmpty = [] { return CMP_WaitNoPendingInstallEvents(0) == WAIT_OBJECT_0; };
    environment.programmerNodesReady = [this] {
        for (const InterfacePath& hidInterface : presentInterfaces()) {
            const std::optional<HIDD_ATTRIBUTES> attributes = attributesOf(hidInterface.path);
            if (attributes && attributes->VendorID == programmerVendorId_ &&
                !openPath(hidInterface.path, GENERIC_READ | GENERIC_WRITE, 0).valid()) {
                return false;
            }
        }
        return true;
    };
    environment.nowMs = [this] { return clock_.nowUs() / 1000; };
    environment.sleepMs = [this](uint32_t milliseconds) { clock_.sleepMs(milliseconds); };
    waitForSettledInstallations(environment);
}

}  // namespace korvid::platform
