#include "progress_throttle.h"

#include <utility>

namespace korvid::cli {

ProgressThrottle::ProgressThrottle(Clock::duration interval) : interval_(interval) {}

std::vector<KorvidProgress> ProgressThrottle::Take(const KorvidProgress& event,
                                                   Clock::time_point now) {
    const bool newPhase =
        !previous_ || previous_->operation != event.operation || previous_->phase != event.phase;
    // A counted phase ends with its whole count.
    const bool complete = event.total != 0 && event.done >= event.total;
    previous_ = event;
    std::vector<KorvidProgress> shown;
    if (newPhase) {
        if (held_) {
            shown.push_back(*held_);
        }
    } else if (!complete && now - lastShown_ < interval_) {
        held_ = event;
        return shown;
    }
    held_.reset();
    shown.push_back(event);
    lastShown_ = now;
    return shown;
}

std::optional<KorvidProgress> ProgressThrottle::Finish() {
    return std::exchange(held_, std::nullopt);
}

}  // namespace korvid::cli
