#include "link/backends/installation_wait.h"

#include <algorithm>

namespace korvid::platform {

bool waitForSettledInstallations(const InstallationWaitEnvironment& environment,
                                 const InstallationWaitTiming& timing) {
    const uint64_t start = environment.nowMs();
    for (;;) {
        if (environment.eventQueueEmpty() && environment.programmerNodesReady()) {
            return true;
        }
        const uint64_t elapsed = environment.nowMs() - start;
        if (elapsed >= timing.boundMs) {
            return false;
        }
        const uint64_t pause = std::min<uint64_t>(timing.pollMs, timing.boundMs - elapsed);
        environment.sleepMs(static_cast<uint32_t>(std::max<uint64_t>(pause, 1)));
    }
}

}  // namespace korvid::platform
