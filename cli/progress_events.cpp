#include "progress_events.h"

#include <cstdio>

namespace korvid::cli {

std::string PhaseName(uint32_t phase) {
    switch (phase) {
        case KORVID_PHASE_DETECTING:
            return "detecting";
        case KORVID_PHASE_SENDING_COMMAND:
            return "sending command";
        case KORVID_PHASE_SENDING_IMAGE:
            return "sending image";
        case KORVID_PHASE_WAITING:
            return "waiting";
        case KORVID_PHASE_RECEIVING:
            return "receiving";
        case KORVID_PHASE_REFLASH_DATA:
            return "sending firmware";
        case KORVID_PHASE_RESTART_WAIT:
            return "waiting for restart";
        default:
            return "phase " + std::to_string(phase);
    }
}

Json ProgressEventJson(const KorvidProgress& progress, const std::string& operation,
                       const std::string& location) {
    Json event{{"event", "progress"},
               {"operation", operation},
               {"phase", PhaseName(progress.phase)},
               {"done", progress.done},
               {"total", progress.total}};
    if (!location.empty()) {
        event["location"] = location;
    }
    return event;
}

ProgressDisplay::ProgressDisplay(const Reporter& out, std::string operation, std::string location)
    : operation_(std::move(operation)), location_(std::move(location)) {
    json_ = out.style().json && !out.style().quiet;
    terminal_ = !out.style().json && out.showsProgress();
    if (json_ || terminal_) {
        KorvidSetProgressCallback(&ProgressDisplay::Receive, this);
    }
}

ProgressDisplay::~ProgressDisplay() {
    if (json_ || terminal_) {
        KorvidSetProgressCallback(nullptr, nullptr);
    }
    if (const auto last = throttle_.Finish()) {
        PrintJson(*last);
    }
    if (drawn_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

void ProgressDisplay::PrintJson(const KorvidProgress& progress) const {
    std::fprintf(stderr, "%s\n",
                 JsonLine(ProgressEventJson(progress, operation_, location_)).c_str());
    std::fflush(stderr);
}

void ProgressDisplay::Receive(const KorvidProgress* progress, void* context) {
    auto* self = static_cast<ProgressDisplay*>(context);
    if (self->json_) {
        for (const KorvidProgress& shown :
             self->throttle_.Take(*progress, ProgressThrottle::Clock::now())) {
            self->PrintJson(shown);
        }
        return;
    }
    std::string line = self->operation_ + ": " + PhaseName(progress->phase);
    char numbers[64];
    if (progress->total != 0) {
        std::snprintf(numbers, sizeof numbers, " %u/%u (%u%%)", progress->done, progress->total,
                      static_cast<unsigned>(uint64_t{progress->done} * 100 / progress->total));
        line += numbers;
    } else if (progress->phase == KORVID_PHASE_WAITING ||
               progress->phase == KORVID_PHASE_RESTART_WAIT) {
        std::snprintf(numbers, sizeof numbers, " %.1f s", progress->done / 1000.0);
        line += numbers;
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    self->drawn_ = true;
}

}  // namespace korvid::cli
