// The real clock: millisecond pauses sleep, microsecond delays spin.
#pragma once

#include <cstdint>

#include "link/platform.h"

namespace korvid::platform {

class SystemClock final : public Clock {
public:
    void sleepMs(uint32_t milliseconds) override;
    // Spins on the steady clock: sleeping would overshoot an 800 µs gap by
    // scheduler granularity.
    void busyWaitUs(uint32_t microseconds) override;
    uint64_t nowUs() override;
};

// Milliseconds of the steady clock since an arbitrary start.
uint64_t monotonicMs();

}  // namespace korvid::platform
