#include "link/hid_reports.h"

#include <algorithm>
#include <limits>

namespace korvid::link {

size_t ReportPayloadCapacity(size_t reportBytes) {
    if (reportBytes < 2) {
        return 0;
    }
    return std::min<size_t>(reportBytes - 1, std::numeric_limits<uint8_t>::max());
}

size_t FrameReport(std::span<const uint8_t> stream, std::span<uint8_t> report, uint8_t filler) {
    std::fill(report.begin(), report.end(), filler);
    const size_t n = std::min(stream.size(), ReportPayloadCapacity(report.size()));
    if (n == 0) {
        return 0;
    }
    report[0] = static_cast<uint8_t>(n);
    std::copy_n(stream.begin(), n, report.begin() + 1);
    return n;
}

std::span<const uint8_t> ReportPayload(std::span<const uint8_t> report) {
    if (report.empty()) {
        return {};
    }
    const size_t n = std::min<size_t>(report[0], report.size() - 1);
    return report.subspan(1, n);
}

}  // namespace korvid::link
