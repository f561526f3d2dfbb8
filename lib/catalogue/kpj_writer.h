// Building the footer of a KPJ project file from a job record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "catalogue/catalogue.h"
#include "korvid.h"

namespace korvid::catalogue::kpj {

// The informational fields of a footer that come from outside the job.
struct FooterStamp {
    uint16_t randomWord;
    uint8_t year;   // modulo 100
    uint8_t month;  // 1..12
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
    uint16_t programmerIdentifier;
};

// A random word, the local time now and the last detected programmer.
FooterStamp currentFooterStamp();

// The code name as stored: up to its NUL, cut to the 255 bytes a footer can hold
// without splitting a character (of UTF-8 when the name is UTF-8, otherwise of code
// page 936, as front ends read names).
std::span<const char> storedCodeName(const JobRecord& job);

// The footer for job (an ICP job when icp is set), with the job's code image of
// job.codeLength bytes. nullopt when the job names no entry of the chosen table, has
// an area outside 0..4, lacks its code buffer, or its ICP settings do not fit the part.
std::optional<std::vector<uint8_t>> buildFooter(const Catalogue& catalogue, const JobRecord& job,
                                                bool icp, const FooterStamp& stamp);

}  // namespace korvid::catalogue::kpj
