// The exported functions in a wire trace: "api - call name=… <arguments>" when one
// is entered and "api - return name=… result=0x.. <outputs>" when it returns, so a
// trace says which operation each stretch of traffic belongs to and can be replayed
// call by call. Costs nothing while no trace runs; never throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "link/trace/trace_event.h"
#include "link/trace/trace_session.h"

namespace korvid::trace {

using TraceFields = std::vector<TraceField>;

// The "api - call" and "api - return" events of a function (time stamp 0).
TraceEvent CallEvent(std::string_view function, TraceFields arguments);
TraceEvent ReturnEvent(std::string_view function, uint8_t result, TraceFields outputs);

class ApiCall {
public:
    explicit ApiCall(std::string_view function) noexcept
        : ApiCall(function, [] { return TraceFields{}; }) {}

    // `arguments` makes the call's argument fields; it runs only while a trace runs.
    template <typename MakeFields>
    ApiCall(std::string_view function, MakeFields arguments) noexcept
        : function_(function), recorder_(RunningTrace()) {
        if (recorder_) {
            try {
                record(CallEvent(function, arguments()));
            } catch (...) {
                // Out of memory: the call goes unrecorded, the operation goes on.
            }
        }
    }
    ApiCall(const ApiCall&) = delete;
    ApiCall& operator=(const ApiCall&) = delete;

    // Records the return with the fields `outputs` makes.
    template <typename MakeFields>
    void returned(uint8_t result, MakeFields outputs) noexcept {
        if (recorder_) {
            try {
                record(ReturnEvent(function_, result, outputs()));
            } catch (...) {
                // Out of memory: the return goes unrecorded.
            }
        }
    }
    void returned(uint8_t result) noexcept {
        returned(result, [] { return TraceFields{}; });
    }

private:
    // Stamps the event with the platform clock and writes it.
    void record(TraceEvent event) const;

    std::string_view function_;
    std::shared_ptr<TraceRecorder> recorder_;
};

}  // namespace korvid::trace
