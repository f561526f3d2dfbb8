// The rules of the Max Count dialog and of the job fill's HWWIDL/HWPS fields, as
// plain checks that both the dialog and the command-line tool apply.
#pragma once

#include "korvid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::core {

inline constexpr uint32_t kMaxCountLimit = 65530;
inline constexpr uint32_t kSerialBlockBytes = 16;

enum class SerialProblem {
    None,
    MaxCountTooLarge,      // above 65530 (negative entries count as too large)
    SerialTextTooLong,     // more than 12 characters
    SerialAddressTooHigh,  // above flashSize - 16
};

// What the dialog collects before a job download.
struct SerialSettings {
    int64_t maxCount = 0;
    bool serialEnabled = false;
    bool autoIncrement = false;
    std::string serialText;
    uint32_t serialNumber = 0;
    uint32_t serialAddress = 0;
};

// The highest serial block start address of a part: its flash size minus 16
// (0 for a part too small to hold a block).
uint32_t HighestSerialAddress(uint32_t flashSize);

// The first rule the settings break for a part of flashSize bytes, or None.
SerialProblem CheckSerialSettings(const SerialSettings& settings, uint32_t flashSize);

// The 12 bytes of serialText: the text followed by spaces, no terminator.
std::array<char, KORVID_SERIAL_TEXT_SIZE> PaddedSerialText(std::string_view text);

// Writes maxCount, serialFlags, serialText, serialNumber and serialAddress of job
// from settings that CheckSerialSettings accepted.
void ApplySerialSettings(const SerialSettings& settings, JobRecord& job);

// The count and serial fields for programming a target directly: maxCount 0xFFFF,
// serial numbers off, text all zero bytes.
void ApplyDirectProgramming(JobRecord& job);

// A decimal field as the job fill reads it: leading blanks, an optional sign and
// digits; a field that does not start with a number counts as 0.
int64_t DecimalFieldValue(std::string_view text);

// hwOptions with bit 0 = HWWIDL AND 1 and bits 1 to 3 = HWPS AND 7, the other
// bits of previous kept.
uint32_t HwOptionsFromFields(std::string_view hwwidl, std::string_view hwps, uint32_t previous);

}  // namespace korvid::core
