#include "catalogue/part_info.h"

#include <algorithm>
#include <cstring>

namespace korvid::catalogue {

PartInfo makePartInfo(const PartEntry& entry) {
    PartInfo info{};
    info.name = entry.name;
    info.seriesMask = entry.seriesMask;
    info.flashSize = entry.flashSize;
    info.iapStart = entry.iapStart;
    info.hasIspMemoryChoice = entry.hasIspMemoryChoice;
    info.hasIapMemoryChoice = entry.hasIapMemoryChoice;
    info.hasHwSettings = entry.hasHwSettings;
    info.ispMemoryList = entry.ispMemoryList;
    info.optionCount = entry.optionCount;
    const uint32_t used = std::min<uint32_t>(entry.optionCount, kMaxOptions);
    for (uint32_t k = 0; k < used; ++k) {
        const char* text = entry.options[k].text;
        info.options[k].name = text;
        info.options[k].description = text + std::strlen(text) + 1;
    }
    return info;
}

uint32_t fillPartInfos(std::span<const PartEntry> entries, std::span<PartInfo> out) {
    const size_t count = std::min(entries.size(), out.size());
    for (size_t index = 0; index < count; ++index) {
        out[index] = makePartInfo(entries[index]);
    }
    return static_cast<uint32_t>(count);
}

}  // namespace korvid::catalogue
