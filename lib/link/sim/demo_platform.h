// The demo mode: a built-in simulated programmer in place of real devices, so the
// whole program can be tried without hardware.
#pragma once

#include <memory>
#include <string_view>

#include "link/sim/simulated_programmer.h"
#include "link/sim/synthetic_firmware.h"

namespace korvid::sim {

enum class DemoClock {
    System,  // pauses take their time, as with a real programmer
    Virtual  // pauses only advance the clock: a re-flash takes milliseconds
};

// A simulated system for a comma-separated list of programmer names, attached in
// that order: "hid" (a current HID programmer), "hid-old" (one with outdated
// firmware, up to date after a re-flash), "hid-update" (one waiting in
// firmware-update mode, where a re-flash cut short leaves it), "pipe", "pipe-old" and
// "pipe-boot" (the same for the older model, which waits in its boot mode),
// "hid-refuse" (takes every job, then answers failure),
// "hid-stuck" (answers "still working" forever after a job) and "hid-noaccess"
// (listed as not accessible; opening it is refused). The N-th programmer (from 1)
// sits at location "0-N" (no real USB device is on bus 0) with serial "SIM" and N
// in four digits ("SIM0001") and device node "sim-hid-K" or "sim-pipe-K" (K counting each link's
// programmers from 0). Installs synthetic firmware images so the re-flash can be tried. nullptr
// when a name is unknown or the list is empty; spaces around names are ignored.
std::unique_ptr<SimulatedPlatform> MakeDemoPlatform(std::string_view modes,
                                                    DemoClock clock = DemoClock::System);

}  // namespace korvid::sim
