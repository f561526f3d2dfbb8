// Millisecond pauses of the programmer protocols, on the platform's clock (a
// virtual clock under test).
#pragma once

#include <cstdint>

#include "link/platform.h"

namespace korvid::programming {

inline void pauseMs(uint32_t milliseconds) {
    platform::current().clock->sleepMs(milliseconds);
}

}  // namespace korvid::programming
