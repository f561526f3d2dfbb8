#include "link/platform.h"

#include <cstdlib>
#include <memory>

#include "link/backends/real_platform.h"
#include "link/sim/demo_platform.h"
#include "link/trace/tracing_platform.h"

namespace korvid::platform {
namespace {

Platform* testOverride = nullptr;

// Chosen once: a built-in simulated programmer when KORVID_SIMULATE names one,
// otherwise the real backends. Without the variable only real devices are touched.
Platform& defaultPlatform() {
    static Platform& chosen = []() -> Platform& {
        const char* mode = std::getenv("KORVID_SIMULATE");
        if (mode != nullptr) {
            static std::unique_ptr<sim::SimulatedPlatform> demo = sim::MakeDemoPlatform(mode);
            if (demo) {
                return demo->platform();
            }
        }
        return realPlatform();
    }();
    return chosen;
}

}  // namespace

Platform& current() {
    return trace::Traced(testOverride != nullptr ? *testOverride : defaultPlatform());
}

void setForTesting(Platform* platform) {
    testOverride = platform;
}

}  // namespace korvid::platform
