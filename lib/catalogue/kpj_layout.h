// Layout of a KPJ project file: the code image followed by a footer whose fixed
// fields sit at fixed distances from the end. Multi-byte fields are big-endian,
// except the random word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "korvid.h"

namespace korvid::catalogue::kpj {

inline constexpr std::string_view kMagic = "Vostrel. ISP-ICP";
inline constexpr size_t kNameLengthOffset = 16;  // from the footer's start
inline constexpr size_t kNameOffset = 17;
// Every footer has 53 bytes besides the code name, which holds at most 255.
inline constexpr size_t kFixedFooterBytes = 53;
inline constexpr size_t kMaxCodeNameBytes = 255;

// Field positions: the field starts `back` bytes before the footer's end.
inline constexpr size_t kBackCodeLength = 36;
inline constexpr size_t kBackCodeSum = 32;
inline constexpr size_t kBackDeviceCode = 30;
inline constexpr size_t kBackIspOptionByte = 28;
inline constexpr size_t kBackProgramArea = 27;
inline constexpr size_t kBackConstant8 = 26;
inline constexpr size_t kBackIcpConfig = 25;
inline constexpr size_t kBackRandomWord = 17;
inline constexpr size_t kBackTimeStamp = 15;  // year, month, day, hour, minute, second
inline constexpr size_t kBackProgrammerId = 9;
inline constexpr size_t kBackVersion = 7;
inline constexpr size_t kBackToolCode = 5;
inline constexpr size_t kBackFooterSum = 4;
inline constexpr size_t kBackFooterLength = 2;

inline constexpr uint8_t kConstant8 = 8;
inline constexpr uint8_t kToolCode = 3;
inline constexpr uint16_t kOldestReadableVersion = 0x0520;

// Results beyond the file checks. A project whose part or settings this catalogue
// cannot represent is refused like a project of another tool; a job that names no
// part (or an impossible one) is refused before any file is touched.
inline constexpr uint8_t kRcUnsupportedProject = RC_KPJ_TOOL;
inline constexpr uint8_t kRcInvalidJob = RC_REFUSED;

// Sum of all bytes, low 16 bits: the code sum of the footer and the programmer.
uint16_t byteSum16(std::span<const uint8_t> bytes);

// The footer sum: every footer byte except the two of the sum itself.
uint16_t footerSum(std::span<const uint8_t> footer);

inline uint16_t loadBigEndian16(const uint8_t* at) {
    return static_cast<uint16_t>((at[0] << 8) | at[1]);
}

inline uint32_t loadBigEndian32(const uint8_t* at) {
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

inline void storeBigEndian16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

inline void storeBigEndian32(uint8_t* at, uint32_t value) {
    storeBigEndian16(at, static_cast<uint16_t>(value >> 16));
    storeBigEndian16(at + 2, static_cast<uint16_t>(value));
}

}  // namespace korvid::catalogue::kpj
