#include "link/sim/simulated_programmer.h"

#include "link/hid_link.h"
#include "link/pipe_link.h"

namespace korvid::sim {

SimulatedPlatform::SimulatedPlatform() : SimulatedPlatform(std::make_unique<VirtualClock>()) {}

SimulatedPlatform::SimulatedPlatform(std::unique_ptr<platform::Clock> clock)
    : clock_(std::move(clock)),
      hid_(*clock_),
      pipe_(*clock_),
      platform_{&hid_, &pipe_, clock_.get()} {}

std::string SimulatedPlatform::nextLocation() {
    return "0-" + std::to_string(++attached_);
}

SimulatedHidProgrammer& SimulatedPlatform::attachHidProgrammer(HidProgrammerOptions options) {
    std::string location = nextLocation();
    if (options.location.empty()) {
        options.location = std::move(location);
    }
    return hid_.attach(std::move(options));
}

SimulatedPipeProgrammer& SimulatedPlatform::attachPipeProgrammer(PipeProgrammerOptions options) {
    std::string location = nextLocation();
    if (options.location.empty()) {
        options.location = std::move(location);
    }
    return pipe_.attach(std::move(options));
}

ScopedTestPlatform::ScopedTestPlatform(platform::Platform& platform) {
    platform::setForTesting(&platform);
}

ScopedTestPlatform::~ScopedTestPlatform() {
    link::CloseHidProgrammer();
    link::PipeDevice::Close();
    platform::setForTesting(nullptr);
}

}  // namespace korvid::sim
