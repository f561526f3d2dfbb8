// Automatic scrolling while a mouse drag is held above or below the text: the
// direction and delay follow the pointer's distance from the edge, and a tick
// counter paces the steps of a 5 ms timer.
#pragma once

#include <cstdint>
#include <optional>

#include "hex_geometry.h"

namespace korvid::hexedit {

inline constexpr int kAutoScrollIntervalMs = 5;

struct AutoScrollRequest {
    int directionRows = 0;  // -1 up, +1 down
    uint16_t delayTicks = 0;
    bool operator==(const AutoScrollRequest&) const = default;
};

// The scroll a pointer at y asks for against the text's top and (exclusive)
// bottom edge: 7 ticks of delay at the edge, one less per 5 px beyond it, down
// to 1. None when y is not above or below the text.
std::optional<AutoScrollRequest> AutoScrollFor(int64_t pointerYPx, int64_t textTopPx,
                                               int64_t textBottomPx);

class AutoScroll {
public:
    bool Running() const { return running_; }
    PointPx Point() const { return point_; }
    int DirectionRows() const { return request_.directionRows; }
    uint16_t DelayTicks() const { return request_.delayTicks; }
    uint16_t CountdownTicks() const { return countdown_; }

    // Starts the timer (countdown = delay) or, while running, only updates the
    // point, direction and delay.
    void Start(PointPx point, AutoScrollRequest request);
    void SetPoint(PointPx point) { point_ = point; }
    void Stop() { running_ = false; }
    // One timer tick: true when a row must be scrolled now (every delay + 1 ticks).
    bool Tick();

private:
    bool running_ = false;
    PointPx point_;
    AutoScrollRequest request_;
    uint16_t countdown_ = 0;
};

}  // namespace korvid::hexedit
