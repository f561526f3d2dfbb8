#include "serial_ranges.h"

#include "hex_number.h"
#include "outcome.h"

namespace korvid::cli {

bool SerialNumbersFit(uint32_t first, uint64_t count) {
    return uint64_t{first} + count <= 0xFFFFFFFFull;
}

std::vector<SerialRange> SplitSerialRanges(uint32_t start, uint32_t perProgrammer,
                                           std::size_t programmers) {
    if (perProgrammer == 0) {
        throw CommandFailure(ExitStatus::BadSetting,
                             "serial number ranges need a --max-count of at least 1");
    }
    if (!SerialNumbersFit(start, uint64_t{perProgrammer} * programmers)) {
        throw CommandFailure(ExitStatus::BadSetting, "the serial numbers from " + Hex(start, 8) +
                                                         " for " + std::to_string(programmers) +
                                                         " x " + std::to_string(perProgrammer) +
                                                         " targets pass 0xFFFFFFFF");
    }
    std::vector<SerialRange> ranges;
    for (std::size_t i = 0; i < programmers; ++i) {
        ranges.push_back({static_cast<uint32_t>(start + i * perProgrammer), perProgrammer});
    }
    return ranges;
}

std::string RangeText(const SerialRange& range) {
    return Hex(range.first, 8) + ".." + Hex(range.last(), 8);
}

}  // namespace korvid::cli
