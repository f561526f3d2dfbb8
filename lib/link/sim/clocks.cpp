#include "link/sim/clocks.h"

#include <chrono>
#include <thread>

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

void SteadyClock::sleepMs(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SteadyClock::busyWaitUs(uint32_t microseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
    while (std::chrono::steady_clock::now() < until) {
    }
}

}  // namespace korvid::sim
