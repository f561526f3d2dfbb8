#include "link/sim/synthetic_firmware.h"

#include <algorithm>
#include <string_view>

namespace korvid::sim {
namespace {

constexpr uint8_t kLongJump = 0x02;
constexpr std::string_view kMarker = "KORVID SIMULATED FIRMWARE - NOT FOR HARDWARE";

}  // namespace

std::vector<uint8_t> SyntheticFirmwareImage(size_t bytes) {
    std::vector<uint8_t> image(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        image[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    const uint8_t header[] = {kLongJump, 0x01, 0x00};  // LJMP 0x0100
    std::copy_n(header, std::min(bytes, sizeof header), image.begin());
    if (bytes >= sizeof header + kMarker.size()) {
        std::copy(kMarker.begin(), kMarker.end(), image.begin() + sizeof header);
    }
    return image;
}

}  // namespace korvid::sim
