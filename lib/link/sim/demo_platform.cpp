#include "link/sim/demo_platform.h"

#include <algorithm>
#include <string_view>

#include "firmware/firmware_images.h"
#include "link/backends/system_clock.h"

namespace korvid::sim {
namespace {

constexpr size_t kHidImageBytes = 13796;
constexpr size_t kPipeImageBytes = 8698;
constexpr uint16_t kOutdatedHidIdentifier = 0x0512;
constexpr uint16_t kOutdatedPipeIdentifier = 0x0540;
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

std::unique_ptr<SimulatedPlatform> MakeDemoPlatform(std::string_view mode) {
    const bool hid = mode == "hid" || mode == "hid-old";
    const bool pipe = mode == "pipe" || mode == "pipe-old";
    if (!hid && !pipe) {
        return nullptr;
    }
    auto sim = std::make_unique<SimulatedPlatform>(std::make_unique<platform::SystemClock>());
    const bool outdated = mode.ends_with("-old");
    if (hid) {
        HidProgrammerOptions options;
        options.workingReplies = 3;
        if (outdated) {
            options.firmwareIdentifier = kOutdatedHidIdentifier;
        }
        sim->attachHidProgrammer(options);
    } else {
        PipeProgrammerOptions options;
        options.workingReplies = 3;
        if (outdated) {
            options.firmwareIdentifier = kOutdatedPipeIdentifier;
        }
        sim->attachPipeProgrammer(options);
    }
    firmware::install(firmware::kHidProgrammerImage, SyntheticFirmwareImage(kHidImageBytes));
    firmware::install(firmware::kPipeProgrammerImage, SyntheticFirmwareImage(kPipeImageBytes));
    return sim;
}

}  // namespace korvid::sim
