// The part-dependent settings of a programming job: the ISP option byte, or for
// an ICP job the eight configuration bytes and the ISP and IAP start addresses.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "catalogue/catalogue.h"
#include "korvid.h"

namespace korvid::programming {

struct PartSettings {
    uint8_t ispOptionByte = 0xFF;  // ISP jobs
    std::array<uint8_t, 8> icpConfigBytes = {0xFF, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0xFF};  // ICP jobs
    uint32_t ispStart = 0;  // ICP jobs: flashSize minus the chosen ISP size
    uint32_t iapStart = 0;  // ICP jobs: ispStart minus the IAP size
};

// The ISP option byte starts from these values (unused bits keep them).
inline constexpr uint8_t kOptionStartToTarget = 0xBF;
inline constexpr uint8_t kOptionStartToProgrammer = 0xBB;

// The settings of the job's part from the ISP or the ICP table of the catalogue.
// Nothing when partIndex names no entry of that table, or when the ICP entry
// cannot encode the job (no ispMemoryList item at ispMemoryIndex, ISP and IAP
// memory larger than the flash).
std::optional<PartSettings> partSettingsFor(const catalogue::Catalogue& catalogue,
                                            const JobRecord& job, bool icp, bool toTarget);

}  // namespace korvid::programming
