// Turning catalogue entries into the PartInfo records handed to the program.
#pragma once

#include <cstdint>
#include <span>

#include "catalogue/catalogue.h"
#include "korvid.h"

namespace korvid::catalogue {

// The PartInfo form of one entry: each option's description points just past its name.
PartInfo makePartInfo(const PartEntry& entry);

// Fills out with the first entries of a table, in table order; returns how many
// were filled. Slots beyond that are left as they were.
uint32_t fillPartInfos(std::span<const PartEntry> entries, std::span<PartInfo> out);

}  // namespace korvid::catalogue
