// Framing of byte streams into the HID programmer's fixed-length reports: byte 0
// carries the payload count, the payload follows, the rest of the report is filler.
// Output reports (host to programmer) are filled with 0xFF; input reports are built
// the same way by the programmer, and a count of 0 means "nothing yet".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvid::link {

inline constexpr uint8_t kOutputReportFiller = 0xFF;

// The most payload one report of `reportBytes` bytes can carry (the count is one byte).
size_t ReportPayloadCapacity(size_t reportBytes);

// Fills `report` with `filler`, then frames as much of `stream` as fits. Returns the
// number of stream bytes taken (0 when the report has no room for payload).
size_t FrameReport(std::span<const uint8_t> stream, std::span<uint8_t> report,
                   uint8_t filler = kOutputReportFiller);

// The payload a received report announces, limited to the bytes the report holds:
// a count beyond the report is never trusted past its end.
std::span<const uint8_t> ReportPayload(std::span<const uint8_t> report);

}  // namespace korvid::link
