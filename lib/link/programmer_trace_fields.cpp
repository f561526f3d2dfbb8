#include "link/programmer_trace_fields.h"

#include <cstdio>
#include <string>

namespace korvid::link {

trace::TraceFields ListReturnFields(uint32_t count) {
    return {{"count", std::to_string(count)}};
}

namespace {

const char* linkName(uint32_t link) {
    return link == KORVID_LINK_HID ? "hid" : link == KORVID_LINK_PIPE ? "pipe" : "none";
}

const char* causeName(uint32_t cause) {
    switch (cause) {
        case KORVID_ACCESS_OPENS:
            return "opens";
        case KORVID_ACCESS_NOT_ATTACHED:
            return "not-attached";
        case KORVID_ACCESS_DENIED:
            return "denied";
        case KORVID_ACCESS_NO_DRIVER:
            return "no-driver";
        default:
            return "unknown";
    }
}

}  // namespace

trace::TraceFields DetectionReturnFields(const KorvidDetection& detection) {
    char identifier[8];
    std::snprintf(identifier, sizeof identifier, "%04x", detection.identifier);
    return {{"link", linkName(detection.link)},
            {"identifier", identifier},
            {"location", detection.location}};
}

trace::TraceFields AccessReturnFields(const KorvidAccess& access) {
    return {{"cause", causeName(access.cause)},
            {"link", linkName(access.link)},
            {"location", access.location},
            {"node", access.node}};
}

}  // namespace korvid::link
