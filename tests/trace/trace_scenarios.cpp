#include "trace_scenarios.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "firmware/firmware_images.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "link/sim/demo_platform.h"

namespace korvid::testing {
namespace {

constexpr uint16_t kOutdatedIdentifier = 0x0512;

std::vector<uint8_t>& code() {
    static std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b(0x100);
        for (size_t i = 0; i < b.size(); ++i) {
            b[i] = static_cast<uint8_t>(i * 13 + 1);
        }
        b[0] = 0x02;  // a long jump at the reset vector
        return b;
    }();
    return bytes;
}

// "Update Target": catalogue position 3 with "KEEP IAP-DATA" (option 3) checked.
JobRecord targetJob() {
    JobRecord job{};
    job.partIndex = 3;
    job.optionStates[0] = 1u << 3;
    job.maxCount = 0xFFFF;
    job.codeLength = static_cast<uint32_t>(code().size());
    job.codeBuffer = code().data();
    return job;
}

// "Update Programmer": position 12, a count limit and incrementing serial numbers.
JobRecord storeJob() {
    JobRecord job = targetJob();
    job.partIndex = 12;
    job.optionStates[0] = 1;
    job.maxCount = 500;
    job.serialFlags = 0x03;
    job.serialAddress = 0x200;
    job.serialNumber = 1000;
    std::memcpy(job.serialText, "KORVID-00001", KORVID_SERIAL_TEXT_SIZE);
    return job;
}

// An ICP job names its part in the ICP catalogue, whose first position is the
// placeholder entry.
void updateTarget(uint32_t icp) {
    JobRecord job = targetJob();
    if (icp != 0) {
        job.partIndex = 0;
    }
    UpdateMCU(&job, icp, 1);
}

void updateProgrammer(uint32_t icp) {
    JobRecord job = storeJob();
    if (icp != 0) {
        job.partIndex = 0;
    }
    UpdateMCU(&job, icp, 0);
}

void dump() {
    std::array<uint8_t, 256> info{};
    DumpMCUInfo(info.data());
}

// What the program does with an outdated programmer: the job is refused, the user
// agrees to the re-flash, the job is repeated.
void updateOutdatedFirmware() {
    updateTarget(0);
    UpdateFW();
    updateTarget(0);
}

void attachHid(sim::SimulatedPlatform& sim) {
    sim.attachHidProgrammer({.workingReplies = 2});
}
void attachPipe(sim::SimulatedPlatform& sim) {
    sim.attachPipeProgrammer({.workingReplies = 2});
}

}  // namespace

SimulatedFirmwareImages::SimulatedFirmwareImages() {
    firmware::install(firmware::kHidProgrammerImage,
                      sim::SyntheticFirmwareImage(sim::kHidFirmwareImageBytes));
    firmware::install(firmware::kPipeProgrammerImage,
                      sim::SyntheticFirmwareImage(sim::kPipeFirmwareImageBytes));
}

SimulatedFirmwareImages::~SimulatedFirmwareImages() {
    firmware::install(firmware::kHidProgrammerImage, std::nullopt);
    firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
}

std::vector<TraceScenario> TraceScenarios() {
    return {
        {"hid-update-target-isp", "UpdateMCU to the target, ISP, on the HID programmer", attachHid,
         [] { updateTarget(0); }},
        {"hid-update-programmer-isp",
         "UpdateMCU to the programmer, ISP, with a count and serial numbers, on the HID programmer",
         attachHid, [] { updateProgrammer(0); }},
        {"hid-dump", "DumpMCUInfo on the HID programmer", attachHid, dump},
        {"hid-update-firmware",
         "UpdateMCU refused by an outdated HID programmer, UpdateFW, UpdateMCU again",
         [](sim::SimulatedPlatform& sim) {
             sim.attachHidProgrammer({.firmwareIdentifier = kOutdatedIdentifier});
         },
         updateOutdatedFirmware},
        {"hid-access-denied",
         "DumpMCUInfo with a HID programmer whose device node may not be opened",
         [](auto& sim) { sim.attachHidProgrammer({.refuseOpen = true}); }, dump},
        {"pipe-update-target-isp", "UpdateMCU to the target, ISP, on the pipe programmer",
         attachPipe, [] { updateTarget(0); }},
        {"pipe-update-programmer-isp",
         "UpdateMCU to the programmer, ISP, with a count and serial numbers, on the pipe "
         "programmer",
         attachPipe, [] { updateProgrammer(0); }},
        {"pipe-dump", "DumpMCUInfo on the pipe programmer", attachPipe, dump},
        {"pipe-update-firmware",
         "UpdateMCU refused by an outdated pipe programmer, UpdateFW, UpdateMCU again",
         [](sim::SimulatedPlatform& sim) {
             sim.attachPipeProgrammer({.firmwareIdentifier = kOutdatedIdentifier});
         },
         updateOutdatedFirmware},
        // The catalogue holds no ICP part, so ICP jobs are refused before any
        // programmer is looked for, whichever model is attached.
        {"icp-refused",
         "UpdateMCU to the target and to the programmer, ICP, with both programmer models "
         "attached: refused without traffic",
         [](sim::SimulatedPlatform& sim) {
             attachHid(sim);
             attachPipe(sim);
         },
         [] {
             updateTarget(1);
             updateProgrammer(1);
         }},
        {"no-programmer", "UpdateMCU, DumpMCUInfo and UpdateFW with no programmer attached",
         [](sim::SimulatedPlatform&) {},
         [] {
             updateTarget(0);
             dump();
             UpdateFW();
         }},
    };
}

void RecordScenario(const TraceScenario& scenario, const std::string& path) {
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << "# " << scenario.description << "\n";
    sim::SimulatedPlatform sim;
    scenario.attach(sim);
    SimulatedFirmwareImages images;
    sim::ScopedTestPlatform use(sim.platform());
    if (KorvidStartTrace(path.c_str()) != RC_OK) {
        throw std::runtime_error(path + ": cannot be written");
    }
    scenario.calls();
    KorvidStopTrace();
}

}  // namespace korvid::testing
