#include "link/platform.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include "link/backends/real_platform.h"
#include "link/sim/demo_platform.h"
#include "link/trace/tracing_platform.h"

namespace korvid::platform {
namespace {

Platform* testOverride = nullptr;

// KORVID_SIMULATE_CLOCK=virtual lets the simulated programmers' pauses pass at once.
sim::DemoClock demoClock() {
    const char* clock = std::getenv("KORVID_SIMULATE_CLOCK");
    return clock != nullptr && std::string_view(clock) == "virtual" ? sim::DemoClock::Virtual
                                                                    : sim::DemoClock::System;
}

// Chosen once: the built-in simulated programmers when KORVID_SIMULATE names them,
// otherwise the real backends. Without the variable only real devices are touched.
Platform& defaultPlatform() {
    static Platform* const chosen = []() -> Platform* {
        const char* mode = std::getenv("KORVID_SIMULATE");
        if (mode != nullptr) {
            static std::unique_ptr<sim::SimulatedPlatform> demo =
                sim::MakeDemoPlatform(mode, demoClock());
            if (demo) {
                return &demo->platform();
            }
        }
        return &realPlatform();
    }();
    return *chosen;
}

}  // namespace

Platform& current() {
    return trace::Traced(testOverride != nullptr ? *testOverride : defaultPlatform());
}

std::vector<TreeUsbDevice> treeUsbDevices(uint16_t vendorId) {
    const Platform& platform = current();
    return platform.treeUsbDevices != nullptr ? platform.treeUsbDevices(vendorId)
                                              : std::vector<TreeUsbDevice>{};
}

void setForTesting(Platform* platform) {
    testOverride = platform;
}

}  // namespace korvid::platform
