// How the exported programmer list and detection appear in a wire trace: the
// outputs of their returns, written by the library and compared by a replay.
#pragma once

#include <cstdint>

#include "korvid_ext.h"
#include "link/trace/api_call.h"

namespace korvid::link {

// count=N: how many programmers are attached.
trace::TraceFields ListReturnFields(uint32_t count);
// link=hid|pipe|none identifier=XXXX location=…, as the detection record holds them.
trace::TraceFields DetectionReturnFields(const KorvidDetection& detection);
// cause=opens|not-attached|denied|no-driver link=… location=… node=…
trace::TraceFields AccessReturnFields(const KorvidAccess& access);

}  // namespace korvid::link
