// The firmware update of each programmer model.
#pragma once

#include <cstdint>

#include "programming/link_sessions.h"
#include "programming/progress.h"

namespace korvid::programming {

// Re-flashes the HID programmer that `normalMode` has open in its normal mode.
uint8_t updateHidFirmware(HidLinkSession& normalMode, const Progress& progress);

// Re-flashes the older programmer over the pipe link (or finds it up to date).
uint8_t updatePipeFirmware(const Progress& progress);

}  // namespace korvid::programming
