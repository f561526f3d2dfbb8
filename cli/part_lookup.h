// The ISP catalogue as the library hands it out, looked up by the names a user types.
#pragma once

#include "korvid.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvid::cli {

std::span<const PartInfo> IspCatalogue();

// The index of the part named name (case-insensitive); throws a BadSetting
// failure listing the valid names otherwise.
int FindPart(const std::string& name);

// optionStates bits for the option names of part; an unknown name throws a
// BadSetting failure listing the part's option names.
uint64_t OptionBits(const PartInfo& part, const std::vector<std::string>& names);

// The names of the options whose bit is set in states.
std::vector<std::string> OptionNames(const PartInfo& part, uint64_t states);

}  // namespace korvid::cli
