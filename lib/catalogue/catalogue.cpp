#include "catalogue/catalogue.h"

namespace korvid::catalogue {

const PartEntry* Catalogue::entry(bool icp, int32_t partIndex) const {
    const std::span<const PartEntry> table = entries(icp);
    if (partIndex < 0 || static_cast<size_t>(partIndex) >= table.size()) {
        return nullptr;
    }
    return &table[static_cast<size_t>(partIndex)];
}

std::optional<int32_t> Catalogue::findDeviceCode(bool icp, uint16_t deviceCode,
                                                 uint32_t codeLength) const {
    const std::span<const PartEntry> table = entries(icp);
    std::optional<int32_t> first;
    for (size_t index = 0; index < table.size(); ++index) {
        if ((table[index].deviceCode & 0xFFFF) != deviceCode) {
            continue;
        }
        if (table[index].flashSize >= codeLength) {
            return static_cast<int32_t>(index);
        }
        first = first.value_or(static_cast<int32_t>(index));
    }
    return first;
}

}  // namespace korvid::catalogue
