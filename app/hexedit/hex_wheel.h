// Wheel turns into whole rows. A notch (120 eighths of a degree) scrolls one row.
// Touchpads and smooth-scroll wheels send finer steps; what a step leaves over a
// whole row is kept for the next one, so that many small steps scroll as the
// notches they add up to. A notched wheel never leaves anything over.
#pragma once

#include <cstdint>

namespace korvid::hexedit {

// One wheel notch in the units of a wheel event's angle delta.
inline constexpr int64_t kWheelNotchEighths = 120;

class WheelRows {
public:
    // The rows to scroll for a turn of angleDelta (positive away from the user,
    // which scrolls up): negative scrolls up. A turn against the direction of
    // what is kept starts afresh.
    int64_t Take(int64_t angleDelta);
    // The part of a notch carried to the next turn.
    int64_t PendingEighths() const { return pendingEighths_; }

private:
    int64_t pendingEighths_ = 0;
};

}  // namespace korvid::hexedit
