// The virtual clock of the simulated programmers: time only advances on paper,
// so a 21.6 s firmware update runs in milliseconds. The demo mode uses the
// system clock instead.
#pragma once

#include <cstdint>

#include "link/platform.h"

namespace korvid::sim {

// How often a simulated programmer stuck in its working state says so.
inline constexpr uint32_t kStuckWorkingReplyMs = 100;

// Never sleeps; adds every pause and busy wait to the elapsed virtual time.
class VirtualClock : public platform::Clock {
public:
    void sleepMs(uint32_t milliseconds) override;
    void busyWaitUs(uint32_t microseconds) override;
    uint64_t nowUs() override { return elapsedUs_; }

    uint64_t elapsedUs() const { return elapsedUs_; }
    uint64_t elapsedMs() const { return elapsedUs_ / 1000; }
    unsigned sleepCount() const { return sleeps_; }
    unsigned busyWaitCount() const { return busyWaits_; }
    uint32_t lastBusyWaitUs() const { return lastBusyWaitUs_; }

private:
    uint64_t elapsedUs_ = 0;
    unsigned sleeps_ = 0;
    unsigned busyWaits_ = 0;
    uint32_t lastBusyWaitUs_ = 0;
};

}  // namespace korvid::sim
