// The real USB backends. Linux: HID through hidapi (hidraw), the older programmer's
// bulk pipes through libusb-1.0, and the system clock. Windows (windows/): SetupAPI
// and the HID class services, the still-image pipe interface, the performance counter.
#pragma once

#include "link/platform.h"

namespace korvid::platform {

// The process-wide real platform; created on first use.
Platform& realPlatform();

}  // namespace korvid::platform
