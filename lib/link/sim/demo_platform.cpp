#include "link/sim/demo_platform.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "firmware/firmware_images.h"
#include "link/backends/system_clock.h"

namespace korvid::sim {
namespace {

constexpr uint16_t kOutdatedHidIdentifier = 0x0512;
constexpr uint16_t kOutdatedPipeIdentifier = 0x0540;
// A demo programmer answers "still working" a few times before it is done.
constexpr unsigned kDemoWorkingReplies = 3;
constexpr uint8_t kFailureReply = 'N';

constexpr std::string_view kModes[] = {"hid",        "hid-old",   "hid-update",
                                       "pipe",       "pipe-old",  "pipe-boot",
                                       "hid-refuse", "hid-stuck", "hid-noaccess"};

bool isKnownMode(std::string_view name) {
    return std::find(std::begin(kModes), std::end(kModes), name) != std::end(kModes);
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// "SIM0001" for the first programmer.
std::string demoSerial(size_t position) {
    const std::string number = std::to_string(position);
    return "SIM" + std::string(number.size() < 4 ? 4 - number.size() : 0, '0') + number;
}

void attachNamed(SimulatedPlatform& sim, std::string_view name, std::string serial) {
    // One waiting in its update or boot mode has the outdated firmware that a re-flash
    // cut short left behind.
    const bool waitsForFirmware = name == "hid-update" || name == "pipe-boot";
    const bool outdated = name.ends_with("-old") || waitsForFirmware;
    if (name.starts_with("pipe")) {
        PipeProgrammerOptions options;
        options.serial = std::move(serial);
        options.workingReplies = kDemoWorkingReplies;
        if (outdated) {
            options.firmwareIdentifier = kOutdatedPipeIdentifier;
        }
        options.startInBootMode = waitsForFirmware;
        sim.attachPipeProgrammer(options);
        return;
    }
    HidProgrammerOptions options;
    options.serial = std::move(serial);
    options.workingReplies = kDemoWorkingReplies;
    if (outdated) {
        options.firmwareIdentifier = kOutdatedHidIdentifier;
    }
    options.startInUpdateMode = waitsForFirmware;
    if (name == "hid-refuse") {
        options.finalReply = kFailureReply;
    }
    options.stuckWorking = name == "hid-stuck";
    options.refuseOpen = name == "hid-noaccess";
    sim.attachHidProgrammer(options);
}

}  // namespace

std::unique_ptr<SimulatedPlatform> MakeDemoPlatform(std::string_view modes, DemoClock clock) {
    std::vector<std::string_view> names;
    for (size_t start = 0; start <= modes.size();) {
        const size_t comma = std::min(modes.find(',', start), modes.size());
        const std::string_view name = trimmed(modes.substr(start, comma - start));
        if (!isKnownMode(name)) {
            return nullptr;
        }
        names.push_back(name);
        start = comma + 1;
    }
    std::unique_ptr<platform::Clock> ticking;
    if (clock == DemoClock::Virtual) {
        ticking = std::make_unique<VirtualClock>();
    } else {
        ticking = std::make_unique<platform::SystemClock>();
    }
    auto sim = std::make_unique<SimulatedPlatform>(std::move(ticking));
    for (size_t i = 0; i < names.size(); ++i) {
        attachNamed(*sim, names[i], demoSerial(i + 1));
    }
    firmware::install(firmware::kHidProgrammerImage,
                      SyntheticFirmwareImage(kHidFirmwareImageBytes));
    firmware::install(firmware::kPipeProgrammerImage,
                      SyntheticFirmwareImage(kPipeFirmwareImageBytes));
    return sim;
}

}  // namespace korvid::sim
