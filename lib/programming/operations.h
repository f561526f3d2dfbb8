// The three programmer operations behind the library's exports. Each returns a
// result code (RC_*), opens its link itself and leaves it closed.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"
#include "korvid.h"

namespace korvid::programming {

// Programs the target now (toTarget) or stores the job in the programmer; the
// job's part comes from `catalogue` (tests pass their own tables).
uint8_t updateMcu(JobRecord* job, bool icp, bool toTarget,
                  const catalogue::Catalogue& catalogue = catalogue::builtInCatalogue());

// Reads 256 bytes of target information into destination.
uint8_t dumpMcuInfo(uint8_t* destination);

// Re-flashes the programmer (the HID model when present, else the older model).
uint8_t updateFirmware();

}  // namespace korvid::programming
