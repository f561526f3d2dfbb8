// The programmers attached now, as the library lists them (KorvidListProgrammers).
#pragma once

#include "korvid_ext.h"

#include <vector>

namespace korvid::core {

std::vector<KorvidProgrammerInfo> ListProgrammers();

}  // namespace korvid::core
