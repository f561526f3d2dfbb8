#include "link/trace/api_call.h"

#include <cstdio>

#include "link/platform.h"

namespace korvid::trace {
namespace {

TraceEvent apiEvent(std::string_view kind, TraceFields leading, TraceFields more) {
    TraceEvent event = MakeEvent(0, kLinkApi, Direction::None, kind);
    event.fields = std::move(leading);
    for (TraceField& field : more) {
        event.fields.push_back(std::move(field));
    }
    return event;
}

}  // namespace

TraceEvent CallEvent(std::string_view function, TraceFields arguments) {
    return apiEvent(kCall, {{"name", std::string(function)}}, std::move(arguments));
}

TraceEvent ReturnEvent(std::string_view function, uint8_t result, TraceFields outputs) {
    char code[5];
    std::snprintf(code, sizeof code, "0x%02x", result);
    return apiEvent(kReturn, {{"name", std::string(function)}, {"result", code}},
                    std::move(outputs));
}

void ApiCall::record(TraceEvent event) const {
    if (platform::Clock* clock = platform::current().clock) {
        event.timeUs = clock->nowUs();
    }
    recorder_->record(event);
}

}  // namespace korvid::trace
