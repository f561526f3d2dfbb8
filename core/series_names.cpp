#include "series_names.h"

#include <algorithm>

namespace korvid::core {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

std::string_view SeriesName(uint32_t seriesMask) {
    for (std::size_t bit = 0; bit < kSeriesNames.size(); ++bit) {
        if ((seriesMask >> bit) & 1u) {
            return kSeriesNames[bit];
        }
    }
    return {};
}

std::optional<int> SeriesBitOfName(std::string_view name) {
    for (std::size_t bit = 0; bit < kSeriesNames.size(); ++bit) {
        if (EqualIgnoringCase(kSeriesNames[bit], name)) {
            return static_cast<int>(bit);
        }
    }
    return std::nullopt;
}

}  // namespace korvid::core
