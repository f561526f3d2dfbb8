#include "link/programmer_trace_fields.h"

#include <cstdio>
#include <string>

namespace korvid::link {

trace::TraceFields ListReturnFields(uint32_t count) {
    return {{"count", std::to_string(count)}};
}

trace::TraceFields DetectionReturnFields(const KorvidDetection& detection) {
    const char* link = detection.link == KORVID_LINK_HID    ? "hid"
                       : detection.link == KORVID_LINK_PIPE ? "pipe"
                                                            : "none";
    char identifier[8];
    std::snprintf(identifier, sizeof identifier, "%04x", detection.identifier);
    return {{"link", link}, {"identifier", identifier}, {"location", detection.location}};
}

}  // namespace korvid::link
