// What the workbench reads from the library at start: its display name and
// version, and the ISP and ICP part catalogues (library-owned, read only).
#pragma once

#include "korvid.h"

#include <cstdint>
#include <span>
#include <string>

namespace korvid::workbench {

struct Catalogue {
    std::string libraryName;  // UTF-8
    uint16_t version = 0;
    std::span<const PartInfo> isp;
    std::span<const PartInfo> icp;

    std::span<const PartInfo> Of(bool icpCatalogue) const { return icpCatalogue ? icp : isp; }
    // The OR of the entries' series masks.
    static uint32_t SeriesMask(std::span<const PartInfo> parts);
};

// GetAPInfo, GetISPInfo and GetICPInfo of the loaded library.
Catalogue LibraryCatalogue();

}  // namespace korvid::workbench
