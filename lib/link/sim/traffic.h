// The record of everything that crossed the seam to a simulated programmer, in
// order, as bytes, so tests can assert the wire traffic exactly.
#pragma once

#include <cstdint>
#include <vector>

namespace korvid::sim {

enum class Direction { HostToDevice, DeviceToHost };

enum class TrafficKind {
    OutputReport,  // HID: one output report as written (count, payload, filler)
    InputReport,   // HID: one input report as read, empty ones included
    SetFeature,    // HID: one feature report sent by the host
    GetFeature,    // HID: one feature report fetched by the host
    PipeWrite,     // pipe: one transfer on the write data pipe
    PipeRead,      // pipe: the bytes one read-pipe transfer moved
    PipeReset      // pipe: a pipe reset; bytes = {pipe type}
};

struct Transfer {
    TrafficKind kind;
    Direction direction;
    std::vector<uint8_t> bytes;
};

using Traffic = std::vector<Transfer>;

// The transfers of one kind, in order (handy for assertions).
std::vector<std::vector<uint8_t>> BytesOf(const Traffic& traffic, TrafficKind kind);

}  // namespace korvid::sim
