// A scripted platform that answers from a recorded wire trace: enumerations and
// opens as recorded, input reports, fetched feature reports and pipe reads with
// the recorded bytes and results. Every host call must be the next recorded event
// with the same host bytes and parameters (pauses included, which take no time);
// at the first disagreement the script fails (see script().failure()) and every
// further call fails too, so the operation ends.
//
// Running an exported operation against it replays one recorded call:
//
//     auto script = replay::TraceScript::Load(path, error);
//     replay::ReplayPlatform replay(std::move(*script));
//     sim::ScopedTestPlatform use(replay.platform());
//     ... make the recorded calls, then check replay.script().failure() and atEnd()
#pragma once

#include <memory>

#include "link/platform.h"
#include "link/replay/trace_script.h"

namespace korvid::replay {

class ReplayPlatform {
public:
    explicit ReplayPlatform(TraceScript script);
    ~ReplayPlatform();
    ReplayPlatform(const ReplayPlatform&) = delete;
    ReplayPlatform& operator=(const ReplayPlatform&) = delete;

    platform::Platform& platform() { return platform_; }
    TraceScript& script() { return script_; }

private:
    class HidBus;
    class PipeBus;
    class Clock;

    TraceScript script_;
    std::unique_ptr<HidBus> hid_;
    std::unique_ptr<PipeBus> pipe_;
    std::unique_ptr<Clock> clock_;
    platform::Platform platform_;
};

}  // namespace korvid::replay
