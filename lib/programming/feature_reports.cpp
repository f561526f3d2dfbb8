#include "programming/feature_reports.h"

#include <algorithm>

namespace korvid::programming {

FeatureReport sizeAnnouncementReport(uint32_t imageBytes) {
    FeatureReport r{};
    r[1] = 0x33;
    r[5] = static_cast<uint8_t>(imageBytes >> 16);
    r[6] = static_cast<uint8_t>(imageBytes >> 8);
    r[7] = static_cast<uint8_t>(imageBytes);
    return r;
}

FeatureReport dataReport(std::span<const uint8_t> chunk) {
    FeatureReport r{};
    std::copy_n(chunk.begin(), std::min(chunk.size(), r.size() - 1), r.begin() + 1);
    return r;
}

FeatureReport checksumQueryReport() {
    FeatureReport r{};
    r[1] = 0x22;
    r[7] = 0x02;
    return r;
}

FeatureReport restartRequestReport() {
    FeatureReport r{};
    r[1] = 0x44;
    return r;
}

uint16_t checksumFromAnswer(const FeatureReport& answer) {
    return static_cast<uint16_t>(answer[1] << 8 | answer[2]);
}

}  // namespace korvid::programming
