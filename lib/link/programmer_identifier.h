// The identifier of the last programmer whose handshake succeeded: library-wide,
// 0 until a programmer is detected, never cleared by a failed detection.
#pragma once

#include <cstdint>

namespace korvid::link {

inline constexpr uint16_t kHidFirmwareIdentifier = 0x0603;
inline constexpr uint16_t kPipeFirmwareIdentifier = 0x0551;

uint16_t programmerIdentifier();
void setProgrammerIdentifier(uint16_t identifier);

}  // namespace korvid::link
