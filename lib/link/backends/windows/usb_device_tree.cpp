// The USB devices of a vendor in Windows' device tree, with or without a driver:
// every present device instance of the USB enumerator that is a whole device.
#include <windows.h>

// SetupAPI needs the basic Windows types first.
#include <setupapi.h>

#include "link/backends/windows/usb_device_tree.h"

#include "link/backends/windows/device_instance.h"

namespace korvid::platform {

std::vector<TreeUsbDevice> usbDeviceTree(uint16_t vendorId) {
    std::vector<TreeUsbDevice> found;
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) {
        return found;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD member = 0; SetupDiEnumDeviceInfo(list, member, &device); ++member) {
        const std::string id = instanceIdOf(device.DevInst);
        const std::optional<UsbIds> ids = usbIdsOfInstanceId(id);
        if (isUsbDeviceInstanceId(id) && ids && ids->vendorId == vendorId) {
            UsbPlace place = usbPlaceOfDeviceInstance(device.DevInst);
            found.push_back(
                {ids->productId, std::move(place.location), std::move(place.serial), id});
        }
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}

}  // namespace korvid::platform
