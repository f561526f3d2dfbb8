// The real clock on Windows: millisecond pauses with Sleep, microsecond delays and
// the time on the high-resolution performance counter.
#pragma once

#include <cstdint>

#include "link/platform.h"

namespace korvid::platform {

class PerformanceCounterClock final : public Clock {
public:
    PerformanceCounterClock();

    void sleepMs(uint32_t milliseconds) override;
    // Spins on QueryPerformanceCounter until the counter has advanced by at least
    // that many microseconds' worth of ticks; never sleeps.
    void busyWaitUs(uint32_t microseconds) override;
    uint64_t nowUs() override;

private:
    uint64_t ticks() const;

    uint64_t frequency_;  // counter ticks per second, read once
};

}  // namespace korvid::platform
