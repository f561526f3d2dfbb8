// The feature reports of the HID programmer's firmware-update mode. Every report
// is at most 65 bytes: byte 0 is the report identifier (always 0), the bytes that
// a report does not name are 0x00.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvid::programming {

inline constexpr size_t kMaxFeatureReportBytes = 65;
using FeatureReport = std::array<uint8_t, kMaxFeatureReportBytes>;

// Announces the image size (24 bits, most significant byte first).
FeatureReport sizeAnnouncementReport(uint32_t imageBytes);
// Carries the next image bytes from byte 1 on (at most 64).
FeatureReport dataReport(std::span<const uint8_t> chunk);
// Asks for the checksum of the received image.
FeatureReport checksumQueryReport();
// Tells the programmer to restart into its normal mode.
FeatureReport restartRequestReport();

// The 16-bit checksum in a checksum answer (byte 1 high, byte 2 low).
uint16_t checksumFromAnswer(const FeatureReport& answer);

}  // namespace korvid::programming
