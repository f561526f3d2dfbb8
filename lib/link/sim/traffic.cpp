#include "link/sim/traffic.h"

namespace korvid::sim {

std::vector<std::vector<uint8_t>> BytesOf(const Traffic& traffic, TrafficKind kind) {
    std::vector<std::vector<uint8_t>> result;
    for (const Transfer& transfer : traffic) {
        if (transfer.kind == kind) {
            result.push_back(transfer.bytes);
        }
    }
    return result;
}

}  // namespace korvid::sim
