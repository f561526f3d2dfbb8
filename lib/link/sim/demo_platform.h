// The demo mode: a built-in simulated programmer in place of real devices, so the
// whole program can be tried without hardware.
#pragma once

#include <memory>
#include <string_view>

#include "link/sim/simulated_programmer.h"

namespace korvid::sim {

// A real-time simulated system for a mode name: "hid" (a current HID programmer),
// "hid-old" (one with outdated firmware, up to date after a re-flash), "pipe" and
// "pipe-old" (the same for the older model). Installs synthetic firmware images so
// the re-flash can be tried. nullptr for any other name.
std::unique_ptr<SimulatedPlatform> MakeDemoPlatform(std::string_view mode);

// A clearly synthetic firmware image: a long jump at the reset vector, a text
// marker saying what it is, then a counting pattern.
std::vector<uint8_t> SyntheticFirmwareImage(size_t bytes);

}  // namespace korvid::sim
