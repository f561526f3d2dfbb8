// How the exported programmer operations appear in a wire trace: the arguments of
// an UpdateMCU call (the whole job, code included) and the outputs of UpdateMCU and
// DumpMCUInfo, and how a replay reads a recorded UpdateMCU call back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "korvid.h"
#include "link/trace/api_call.h"

namespace korvid::programming {

trace::TraceFields UpdateMcuCallFields(const JobRecord* job, uint32_t icpMode, uint32_t toTarget);
// The job's serial address as the call left it.
trace::TraceFields UpdateMcuReturnFields(const JobRecord* job);
// The 256 bytes of target information when the dump succeeded.
trace::TraceFields DumpReturnFields(uint8_t result, const uint8_t* destination);

// An UpdateMCU call read back from its trace event, ready to be made again.
class RecordedUpdateMcu {
public:
    // Nothing, and `error` set, when a field is missing or malformed.
    static std::optional<RecordedUpdateMcu> FromCall(const trace::TraceEvent& call,
                                                     std::string& error);

    // The job as recorded (nullptr when the call passed none), its code buffer
    // pointing into this object.
    JobRecord* job();
    uint32_t icpMode() const { return icpMode_; }
    uint32_t toTarget() const { return toTarget_; }

private:
    bool hasJob_ = false;
    JobRecord job_{};
    std::optional<std::vector<uint8_t>> code_;
    uint32_t icpMode_ = 0;
    uint32_t toTarget_ = 0;
};

}  // namespace korvid::programming
