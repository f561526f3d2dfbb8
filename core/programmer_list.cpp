#include "programmer_list.h"

#include <algorithm>
#include <cstddef>

namespace korvid::core {

std::vector<KorvidProgrammerInfo> ListProgrammers() {
    std::vector<KorvidProgrammerInfo> list(KorvidListProgrammers(nullptr, 0));
    // The count may grow between the two calls; what did not fit is left out.
    list.resize(std::min<std::size_t>(
        list.size(), KorvidListProgrammers(list.data(), static_cast<uint32_t>(list.size()))));
    return list;
}

}  // namespace korvid::core
