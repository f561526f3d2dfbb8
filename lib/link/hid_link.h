// The HID programmer link: one library-wide link, opened by vendor and product,
// moving byte streams as fixed-length reports (count byte, payload, 0xFF filler).
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvid::link {

inline constexpr uint16_t kVendorId = 0x4C7B;
inline constexpr uint16_t kHidProductNormal = 0x0323;
inline constexpr uint16_t kHidProductFirmwareUpdate = 0x030B;

// 1 when a matching device was opened, 0 otherwise. Only while the link is closed.
int OpenHidProgrammer(uint16_t vendorId, uint16_t productId);
// Always 1; harmless when nothing is open.
int CloseHidProgrammer();

// Report lengths of the open link (low bytes), including the report-identifier byte.
uint8_t featureReportLength();
uint8_t inputReportLength();
uint8_t outputReportLength();

// Payload bytes sent / received; equal to `length` on success.
size_t WriteReports(const uint8_t* bytes, size_t length, size_t reportLength);
size_t ReadReports(uint8_t* destination, size_t length);

// Feature reports of the open link (firmware-update mode), featureReportLength()
// bytes each. True on success.
bool SetFeatureReport(const uint8_t* report);
bool GetFeatureReport(uint8_t* report);
void CancelHidTransfers();
// Blocks (bounded) until the system has no device installation pending.
void WaitNoPendingInstallations();

}  // namespace korvid::link
