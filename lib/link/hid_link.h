// The HID programmer link: one library-wide link, opened by vendor and product,
// moving byte streams as fixed-length reports (count byte, payload, 0xFF filler).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/sent_observer.h"

namespace korvid::link {

inline constexpr uint16_t kVendorId = 0x4C7B;
inline constexpr uint16_t kHidProductNormal = 0x0323;
inline constexpr uint16_t kHidProductFirmwareUpdate = 0x030B;

// Every platform read of one input report waits at most this long; a read that
// times out counts as a failed read.
inline constexpr int kReportReadTimeoutMs = 5000;
// A read gives up after this many consecutive empty input reports.
inline constexpr unsigned kMaxEmptyReports = 1000;

// 1 when a matching device was opened, 0 otherwise. Only the selected programmer
// matches (link/selection.h), and when location is given only the device there (a
// programmer followed across its restart). A device whose input or output reports
// are shorter than 2 bytes cannot carry a payload and is skipped. A link still open
// from before is closed first.
int OpenHidProgrammer(uint16_t vendorId, uint16_t productId, std::string_view location = {});
// Always 1; harmless when nothing is open.
int CloseHidProgrammer();
// The USB location of the open device; "" while closed or when it has none.
const std::string& openedHidLocation();

// Report lengths of the open link (low bytes), including the report-identifier byte.
uint8_t featureReportLength();
uint8_t inputReportLength();
uint8_t outputReportLength();

// One output report of outputReportLength() bytes / one non-empty input report of
// inputReportLength() bytes (empty reports are skipped, at most kMaxEmptyReports).
// 1 on success, 0 otherwise.
int WriteOutputReport(const uint8_t* report);
int ReadInputReport(uint8_t* report);

// Payload bytes sent; equal to `length` on success. afterReport, when given, is
// told the payload bytes sent so far after each report that went out.
size_t WriteReports(const uint8_t* bytes, size_t length, size_t reportLength,
                    const SentObserver& afterReport = {});
// Payload bytes received; equal to `length` on success. More than `length` when the
// programmer announced more than was asked for (never stored past `destination`):
// callers must treat any count other than `length` as failure.
size_t ReadReports(uint8_t* destination, size_t length);

// Feature reports of the open link (firmware-update mode), featureReportLength()
// bytes each. True on success.
bool SetFeatureReport(const uint8_t* report);
bool GetFeatureReport(uint8_t* report);
void CancelHidTransfers();
// Blocks (bounded) until the system has no device installation pending.
void WaitNoPendingInstallations();

}  // namespace korvid::link
