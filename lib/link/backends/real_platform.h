// The real USB backends: HID through hidapi (hidraw), the older programmer's bulk
// pipes through libusb-1.0, and the system clock.
#pragma once

#include "link/platform.h"

namespace korvid::platform {

// The process-wide real platform; created on first use.
Platform& realPlatform();

}  // namespace korvid::platform
