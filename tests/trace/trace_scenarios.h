// The operations kept as recorded traces in tests/traces: each exported
// programmer operation on each programmer model, recorded from the simulated
// programmers on the virtual clock, so that recording again gives the same bytes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/sim/simulated_programmer.h"

namespace korvid::testing {

struct TraceScenario {
    std::string name;         // the file is <name>.trace
    std::string description;  // its first line, as a comment
    std::function<void(sim::SimulatedPlatform&)> attach;
    std::function<void()> calls;  // the exported calls that make up the trace
};

std::vector<TraceScenario> TraceScenarios();

// Records a scenario into `path`, replacing the file. The simulated firmware images
// are installed meanwhile, as they are for replaying (ReplayTrace).
void RecordScenario(const TraceScenario& scenario, const std::string& path);

// Installs the simulated firmware images of the demo mode for its lifetime, so a
// re-flash has an image to send.
class SimulatedFirmwareImages {
public:
    SimulatedFirmwareImages();
    ~SimulatedFirmwareImages();
    SimulatedFirmwareImages(const SimulatedFirmwareImages&) = delete;
    SimulatedFirmwareImages& operator=(const SimulatedFirmwareImages&) = delete;
};

}  // namespace korvid::testing
