// The firmware update of each programmer model.
#pragma once

#include <cstdint>

#include "programming/link_sessions.h"
#include "programming/progress.h"

namespace korvid::programming {

// Re-flashes the HID programmer that `normalMode` has open in its normal mode.
uint8_t updateHidFirmware(HidLinkSession& normalMode, const Progress& progress);

// Re-flashes the HID programmer that `updateMode` has open in its firmware-update
// mode, where a re-flash cut short (a pulled cable) leaves it: from the image on.
uint8_t resumeHidFirmwareUpdate(HidLinkSession& updateMode, const Progress& progress);

// Re-flashes the older programmer over the pipe link (or finds it up to date); one
// waiting in its boot mode takes the image at once.
uint8_t updatePipeFirmware(const Progress& progress);

}  // namespace korvid::programming
