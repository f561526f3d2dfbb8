// Which of the library's progress events --json prints: within a phase at most
// one an interval (ten a second by default), and always the first and the last
// event of every phase, so that a log collector gets a handful of lines per
// operation instead of one per report. Events are passed on unchanged; the
// caller says when each was reported, so the choice depends on no clock.
#pragma once

#include "korvid_ext.h"

#include <chrono>
#include <optional>
#include <vector>

namespace korvid::cli {

class ProgressThrottle {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressThrottle(Clock::duration interval = std::chrono::milliseconds(100));

    // The events to print for one reported at now, in order: none (it is held
    // back as the phase's possible last), the event itself, or the held last
    // event of the phase before followed by the event, the first of a new phase.
    std::vector<KorvidProgress> Take(const KorvidProgress& event, Clock::time_point now);
    // At the end of the operation: the last event of its last phase when it was
    // held back.
    std::optional<KorvidProgress> Finish();

private:
    Clock::duration interval_;
    std::optional<KorvidProgress> previous_;
    std::optional<KorvidProgress> held_;
    Clock::time_point lastShown_;
};

}  // namespace korvid::cli
