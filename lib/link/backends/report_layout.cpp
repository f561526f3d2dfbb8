#include "link/backends/report_layout.h"

#include <algorithm>
#include <vector>

namespace korvid::platform {

ReadResult readInputInWindowsLayout(const RawTransfer& read, bool usesReportIds,
                                    size_t reportLength, uint8_t* report, size_t length) {
    if (length == 0) {
        return ReadResult::Error;
    }
    // At least one byte of room after the offset: a zero-length read would look
    // like a time-out.
    const size_t offset = usesReportIds ? 0 : 1;
    std::vector<uint8_t> raw(std::max({length, reportLength, offset + 1}), 0);
    const int received = read(raw.data() + offset, raw.size() - offset);
    if (received < 0) {
        return ReadResult::Error;
    }
    if (received == 0) {
        return ReadResult::Timeout;
    }
    const size_t end = offset + std::min(static_cast<size_t>(received), raw.size() - offset);
    std::fill(raw.begin() + end, raw.end(), 0);
    std::copy_n(raw.begin(), length, report);
    return ReadResult::Report;
}

bool getFeatureInWindowsLayout(const RawTransfer& get, uint8_t* report, size_t length) {
    if (length == 0) {
        return false;
    }
    std::vector<uint8_t> raw(length, 0);
    raw[0] = report[0];
    const int received = get(raw.data(), raw.size());
    if (received <= 0) {
        return false;
    }
    std::fill(raw.begin() + std::min(static_cast<size_t>(received), length), raw.end(), 0);
    std::copy(raw.begin(), raw.end(), report);
    return true;
}

}  // namespace korvid::platform
