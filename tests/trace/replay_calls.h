// Replays a recorded trace through the exported functions: each recorded call is
// made again, with its recorded arguments, against a ReplayPlatform answering from
// the same trace, and must return what was recorded.
#pragma once

#include <string>

#include "link/replay/trace_script.h"

namespace korvid::testing {

// "" when every event and every return agreed with the recording; otherwise the
// first disagreement, naming its line. The simulated firmware images are installed
// meanwhile (a re-flash recorded with other images disagrees at its first data
// report).
std::string ReplayTrace(replay::TraceScript script);

}  // namespace korvid::testing
