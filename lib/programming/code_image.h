// The code image that UpdateMCU sends: the job's code, 0xFF beyond it, and the
// optional 16-byte serial-number block (12 bytes of serial text, 4 zero bytes).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "korvid.h"

namespace korvid::programming {

inline constexpr uint32_t kSerialFlagEnabled = 0x01;
inline constexpr uint32_t kSerialBlockBytes = 16;

// The image length for the job: codeLength, extended to cover the serial block
// when serial numbers are on. Nothing when the block's end does not fit 32 bits.
std::optional<uint32_t> codeImageLength(const JobRecord& job);

// Builds the image of `length` bytes (codeImageLength of the job). With serial
// numbers on it writes the serial block and advances job.serialAddress by 12 to
// the block's four zero bytes, which the programmer fills in per unit.
std::vector<uint8_t> buildCodeImage(JobRecord& job, uint32_t length);

}  // namespace korvid::programming
