#include "code_image.h"

#include <algorithm>
#include <numeric>

namespace korvid::core {

std::vector<uint8_t> OverlayImage(std::span<const uint8_t> current, std::span<const uint8_t> file,
                                  uint32_t insertAddress) {
    const std::size_t fileEnd = std::size_t{insertAddress} + file.size();
    std::vector<uint8_t> image(std::max(current.size(), fileEnd), 0xFF);
    std::copy(current.begin(), current.end(), image.begin());
    std::copy(file.begin(), file.end(), image.begin() + insertAddress);
    return image;
}

uint16_t ImageChecksum(std::span<const uint8_t> image) {
    return static_cast<uint16_t>(
        std::accumulate(image.begin(), image.end(), uint32_t{0},
                        [](uint32_t sum, uint8_t byte) { return sum + byte; }));
}

}  // namespace korvid::core
