// Serial number ranges handed to programmers: disjoint, one after another.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::cli {

// count numbers from first upward.
struct SerialRange {
    uint32_t first = 0;
    uint32_t count = 0;
    uint32_t last() const { return first + count - 1; }
};

// Whether count numbers from first stay at or below 0xFFFFFFFE: 0xFFFFFFFF is the
// value a counter after the last number would hold, so no range reaches it.
bool SerialNumbersFit(uint32_t first, uint64_t count);

// programmers ranges of perProgrammer numbers each, the first from start and each
// next one from where the previous ends. Throws a BadSetting failure when the
// numbers would pass 0xFFFFFFFF or perProgrammer is 0 (the ranges would overlap).
std::vector<SerialRange> SplitSerialRanges(uint32_t start, uint32_t perProgrammer,
                                           std::size_t programmers);

// "0x00001000..0x000010FF"
std::string RangeText(const SerialRange& range);

}  // namespace korvid::cli
