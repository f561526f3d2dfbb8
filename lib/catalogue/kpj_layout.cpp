#include "catalogue/kpj_layout.h"

#include <numeric>

namespace korvid::catalogue::kpj {

uint16_t byteSum16(std::span<const uint8_t> bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), uint32_t{0}));
}

uint16_t footerSum(std::span<const uint8_t> footer) {
    const size_t sumAt = footer.size() - kBackFooterSum;
    return static_cast<uint16_t>(byteSum16(footer.first(sumAt)) +
                                 byteSum16(footer.subspan(sumAt + 2)));
}

}  // namespace korvid::catalogue::kpj
