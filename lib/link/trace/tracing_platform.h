// The recording side of the wire trace: a platform that forwards every call to the
// platform underneath and writes it, with its result and bytes, to the running
// trace. platform::current() puts it in front of the chosen platform while a trace
// runs, so the protocol code is the same with and without a trace.
#pragma once

#include "link/platform.h"

namespace korvid::trace {

// `base` itself while no trace runs; otherwise the recording platform in front of
// it. Links opened before the trace started are not recorded.
platform::Platform& Traced(platform::Platform& base);

}  // namespace korvid::trace
