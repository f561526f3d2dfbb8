// Millisecond pauses of the programmer protocols and the time they are measured
// against, on the platform's clock (a virtual clock under test).
#pragma once

#include <cstdint>

#include "link/platform.h"

namespace korvid::programming {

inline void pauseMs(uint32_t milliseconds) {
    platform::current().clock->sleepMs(milliseconds);
}

inline uint64_t clockNowUs() {
    return platform::current().clock->nowUs();
}

}  // namespace korvid::programming
