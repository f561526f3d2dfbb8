// Windows' device tree of USB devices, for Platform::treeUsbDevices.
#pragma once

#include "link/platform.h"

namespace korvid::platform {

std::vector<TreeUsbDevice> usbDeviceTree(uint16_t vendorId);

}  // namespace korvid::platform
