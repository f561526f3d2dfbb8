// The seven series of the part catalogue, named in the bit order of a part's
// seriesMask (bit 0 "Series A" to bit 6 "Series G").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvid::core {

inline constexpr std::array<std::string_view, 7> kSeriesNames{
    "Series A", "Series B", "Series C", "Series D", "Series E", "Series F", "Series G"};

// The name of a part's series: that of the lowest of bits 0 to 6 set in
// seriesMask; "" when none is.
std::string_view SeriesName(uint32_t seriesMask);

// The series bit of a name, compared without regard to case; nullopt when no
// series has that name.
std::optional<int> SeriesBitOfName(std::string_view name);

}  // namespace korvid::core
