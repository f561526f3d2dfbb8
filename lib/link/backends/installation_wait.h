// Waiting until a device that just (re-)appeared is usable: udev has finished its
// events (rules applied, permissions granted) and the programmer's nodes open.
#pragma once

#include <cstdint>
#include <functional>

namespace korvid::platform {

struct InstallationWaitEnvironment {
    std::function<bool()> eventQueueEmpty;       // udev has no device event in flight
    std::function<bool()> programmerNodesReady;  // every programmer node can be opened
    std::function<uint64_t()> nowMs;             // monotonic milliseconds
    std::function<void(uint32_t)> sleepMs;
};

struct InstallationWaitTiming {
    uint32_t boundMs = 10000;  // give up after this long
    uint32_t pollMs = 50;      // pause between two looks
};

// Looks at both probes until they agree in one round that all is settled (true),
// or until boundMs has passed (false). Never waits longer than the bound plus one
// round of probes.
bool waitForSettledInstallations(const InstallationWaitEnvironment& environment,
                                 const InstallationWaitTiming& timing = {});

}  // namespace korvid::platform
