// Simulated programmers behind the platform seam, for tests, the demo mode and
// tools. A SimulatedPlatform owns a clock (virtual unless given another), a HID bus
// and a pipe bus; attach programmers to it, install it, and the links talk to them:
//
//     sim::SimulatedPlatform sim;
//     sim::SimulatedHidProgrammer& programmer = sim.attachHidProgrammer({.workingReplies = 2});
//     sim::ScopedTestPlatform use(sim.platform());
//     ... run the operation, then assert on programmer.traffic(), targetFlash(), ...
#pragma once

#include <memory>
#include <string>

#include "link/platform.h"
#include "link/sim/clocks.h"
#include "link/sim/simulated_hid_programmer.h"
#include "link/sim/simulated_pipe_programmer.h"
#include "link/sim/traffic.h"

namespace korvid::sim {

class SimulatedPlatform {
public:
    // With a VirtualClock.
    SimulatedPlatform();
    explicit SimulatedPlatform(std::unique_ptr<platform::Clock> clock);

    // A programmer without a location in its options gets "0-N", N counting the
    // programmers attached to this platform from 1: Linux numbers USB buses from 1,
    // so no real device is ever at bus 0.
    SimulatedHidProgrammer& attachHidProgrammer(HidProgrammerOptions options = {});
    SimulatedPipeProgrammer& attachPipeProgrammer(PipeProgrammerOptions options = {});

    platform::Platform& platform() { return platform_; }
    platform::Clock& clock() { return *clock_; }
    // The virtual clock, or nullptr when another clock was given.
    VirtualClock* virtualClock() { return dynamic_cast<VirtualClock*>(clock_.get()); }
    SimulatedHidBus& hidBus() { return hid_; }
    SimulatedPipeBus& pipeBus() { return pipe_; }

private:
    std::string nextLocation();

    std::unique_ptr<platform::Clock> clock_;
    SimulatedHidBus hid_;
    SimulatedPipeBus pipe_;
    platform::Platform platform_;
    unsigned attached_ = 0;
};

// Installs a platform for the protocol code for the lifetime of the object; on
// destruction closes both links (so no handle outlives a test) and restores the
// default platform.
class ScopedTestPlatform {
public:
    explicit ScopedTestPlatform(platform::Platform& platform);
    ~ScopedTestPlatform();
    ScopedTestPlatform(const ScopedTestPlatform&) = delete;
    ScopedTestPlatform& operator=(const ScopedTestPlatform&) = delete;
};

}  // namespace korvid::sim
