// Placing raw hidraw reports into the Windows report layout, where byte 0 of
// every buffer is the report-identifier position whether or not the device
// numbers its reports, and every report is as long as the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "link/platform.h"

namespace korvid::platform {

// One raw transfer into buffer[0 .. capacity): the byte count, 0 on time-out,
// negative on failure (the convention of hidapi's calls).
using RawTransfer = std::function<int(uint8_t* buffer, size_t capacity)>;

// Reads one input report into report[0 .. length). A device without report
// identifiers sends none, so its report goes to byte 1 on and byte 0 is 0. The
// raw read always has room for a whole report of reportLength bytes, so longer
// reports are cut, not split; shorter ones are padded with zeros. On Timeout
// and Error the buffer is left untouched.
ReadResult readInputInWindowsLayout(const RawTransfer& read, bool usesReportIds,
                                    size_t reportLength, uint8_t* report, size_t length);

// Fetches one feature report whose identifier is preset in report[0]. True when
// the device answered; an answer shorter than `length` is padded with zeros. On
// failure the buffer is left untouched.
bool getFeatureInWindowsLayout(const RawTransfer& get, uint8_t* report, size_t length);

}  // namespace korvid::platform
