#include "hex_wheel.h"

namespace korvid::hexedit {

int64_t WheelRows::Take(int64_t angleDelta) {
    // Turning back must answer at once, not first pay off the other direction.
    if ((pendingEighths_ < 0 && angleDelta > 0) || (pendingEighths_ > 0 && angleDelta < 0)) {
        pendingEighths_ = 0;
    }
    pendingEighths_ += angleDelta;
    const int64_t notches = pendingEighths_ / kWheelNotchEighths;  // toward zero
    pendingEighths_ -= notches * kWheelNotchEighths;
    return -notches;
}

}  // namespace korvid::hexedit
