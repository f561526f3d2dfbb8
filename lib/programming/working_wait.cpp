#include "programming/working_wait.h"

#include "link/platform.h"

namespace korvid::programming {

WorkingWait::WorkingWait(const Progress& progress)
    : progress_(progress), startUs_(platform::current().clock->nowUs()) {}

bool WorkingWait::stillWorking() {
    const uint64_t waitedMs = (platform::current().clock->nowUs() - startUs_) / 1000;
    progress_.report(KORVID_PHASE_WAITING, waitedMs);
    return waitedMs < KORVID_WORKING_WAIT_LIMIT_MS;
}

}  // namespace korvid::programming
