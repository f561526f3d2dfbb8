#include "link/backends/windows/performance_counter_clock.h"

#include <windows.h>

namespace korvid::platform {

PerformanceCounterClock::PerformanceCounterClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);  // never fails on Windows XP and later
    frequency_ = static_cast<uint64_t>(frequency.QuadPart);
}

uint64_t PerformanceCounterClock::ticks() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart);
}

void PerformanceCounterClock::sleepMs(uint32_t milliseconds) {
    Sleep(milliseconds);
}

void PerformanceCounterClock::busyWaitUs(uint32_t microseconds) {
    const uint64_t start = ticks();
    const uint64_t wait = uint64_t{microseconds} * frequency_ / 1000000;
    while (ticks() - start < wait) {
    }
}

uint64_t PerformanceCounterClock::nowUs() {
    const uint64_t now = ticks();
    // Seconds and the rest apart, so that the product never overflows.
    return now / frequency_ * 1000000 + now % frequency_ * 1000000 / frequency_;
}

}  // namespace korvid::platform
