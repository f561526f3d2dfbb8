// The firmware update of each programmer model.
#pragma once

#include <cstdint>

#include "programming/link_sessions.h"

namespace korvid::programming {

// Re-flashes the HID programmer that `normalMode` has open in its normal mode.
uint8_t updateHidFirmware(HidLinkSession& normalMode);

// Re-flashes the older programmer over the pipe link (or finds it up to date).
uint8_t updatePipeFirmware();

}  // namespace korvid::programming
