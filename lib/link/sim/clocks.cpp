#include "link/sim/clocks.h"

namespace korvid::sim {

void VirtualClock::sleepMs(uint32_t milliseconds) {
    elapsedUs_ += uint64_t{milliseconds} * 1000;
    ++sleeps_;
}

void VirtualClock::busyWaitUs(uint32_t microseconds) {
    elapsedUs_ += microseconds;
    lastBusyWaitUs_ = microseconds;
    ++busyWaits_;
}

}  // namespace korvid::sim
