// The names of the series bits of the part catalogue.
#pragma once

#include <array>

namespace korvid::core {

inline constexpr std::array<const char*, 7> kSeriesNames{
    "Series A", "Series B", "Series C", "Series D", "Series E", "Series F", "Series G"};

}  // namespace korvid::core
