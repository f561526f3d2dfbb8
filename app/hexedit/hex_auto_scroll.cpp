#include "hex_auto_scroll.h"

#include <algorithm>

namespace korvid::hexedit {
namespace {

constexpr int64_t kPxPerSpeedStep = 5;
constexpr int64_t kMaxSpeedSteps = 6;
constexpr uint16_t kEdgeDelayTicks = 7;

uint16_t DelayForDistance(int64_t distancePx) {
    const int64_t steps = std::min((distancePx + 1) / kPxPerSpeedStep, kMaxSpeedSteps);
    return static_cast<uint16_t>(kEdgeDelayTicks - steps);
}

}  // namespace

std::optional<AutoScrollRequest> AutoScrollFor(int64_t pointerYPx, int64_t textTopPx,
                                               int64_t textBottomPx) {
    if (pointerYPx < textTopPx) {
        return AutoScrollRequest{-1, DelayForDistance(textTopPx - pointerYPx)};
    }
    if (pointerYPx > textBottomPx) {
        return AutoScrollRequest{+1, DelayForDistance(pointerYPx - textBottomPx)};
    }
    return std::nullopt;
}

void AutoScroll::Start(PointPx point, AutoScrollRequest request) {
    point_ = point;
    request_ = request;
    if (!running_) {
        running_ = true;
        countdown_ = request.delayTicks;
    }
}

bool AutoScroll::Tick() {
    if (!running_) {
        return false;
    }
    if (countdown_ > 0) {
        --countdown_;
        return false;
    }
    countdown_ = request_.delayTicks;
    return true;
}

}  // namespace korvid::hexedit
