// parts and detect: what the library carries and which programmer is attached.
#include "commands.h"

#include "access/device_access.h"
#include "firmware_mismatch.h"
#include "korvid.h"
#include "part_lookup.h"

#include <strings.h>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace korvid::cli {
namespace {

// The library tells the last accepted programmer identifier only through the
// project files it writes, so an empty job is saved to a private temporary file.
uint16_t LastProgrammerIdentifier() {
    std::string directory =
        (std::filesystem::temp_directory_path() / "korvid-detect-XXXXXX").string();
    if (::mkdtemp(directory.data()) == nullptr) {
        return 0;
    }
    const std::string path = directory + "/id.kpj";
    JobRecord job{};
    job.partIndex = 0;
    uint8_t none = 0;
    job.codeBuffer = &none;
    uint16_t identifier = 0;
    if (SaveKPJ(path.c_str(), &job, 0) == RC_OK) {
        std::ifstream file(path, std::ios::binary);
        std::array<char, 53> footer{};
        if (file.read(footer.data(), footer.size())) {
            // An empty code name gives a 53-byte footer; the identifier is at F - 9.
            identifier = static_cast<uint16_t>((static_cast<uint8_t>(footer[44]) << 8) |
                                               static_cast<uint8_t>(footer[45]));
        }
    }
    std::filesystem::remove_all(directory);
    return identifier;
}

std::string ModelName(uint16_t identifier) {
    switch (identifier) {
        case 0x0603:
            return "HID programmer";
        case 0x0551:
            return "older pipe programmer";
        default:
            return "programmer";
    }
}

}  // namespace

int RunParts(const Reporter& out, const std::optional<std::string>& series) {
    const auto parts = IspCatalogue();
    if (series) {
        bool known = false;
        for (int bit = 0; bit < kSeriesCount; ++bit) {
            known = known || ::strcasecmp(SeriesName(1u << bit).c_str(), series->c_str()) == 0;
        }
        if (!known) {
            throw CommandFailure(
                ExitStatus::BadSetting,
                "unknown series \"" + *series + "\"; valid: \"Series A\" to \"Series G\"");
        }
    }
    for (const PartInfo& part : parts) {
        const std::string seriesName = SeriesName(part.seriesMask);
        if (series && ::strcasecmp(seriesName.c_str(), series->c_str()) != 0) {
            continue;
        }
        JsonObject object;
        object.add("name", part.name)
            .add("series", seriesName)
            .add("flashSize", part.flashSize)
            .add("iapStart", part.iapStart);
        std::vector<JsonObject> options;
        std::string human = std::string(part.name) + "  " + seriesName + "  flash " +
                            Hex(part.flashSize, 4) + "  IAP start " + Hex(part.iapStart, 4);
        for (uint32_t k = 0; k < part.optionCount; ++k) {
            const std::string description = Cp936ToUtf8(part.options[k].description);
            options.push_back(
                JsonObject().add("name", part.options[k].name).add("description", description));
            human += std::string("\n    ") + part.options[k].name + "  " + description;
        }
        object.add("options", options);
        out.result(object, human);
    }
    return 0;
}

int RunDetect(const Reporter& out) {
    // No export only identifies the programmer; reading the target information
    // runs the same detection and changes nothing.
    uint8_t information[256];
    const uint8_t result = DumpMCUInfo(information);
    JsonObject object;
    object.add("command", "detect");
    if (result == RC_NO_DEVICE) {
        const access::AccessReport report = access::probeProgrammerAccess();
        const bool blocked = report.presence == access::Presence::NotAccessible;
        object.add("ok", false)
            .add("found", blocked)
            .add("accessible", false)
            .add("exitStatus",
                 static_cast<int>(blocked ? ExitStatus::NotAccessible : ExitStatus::NoDevice))
            .add("resultCode", static_cast<int>(result))
            .add("message", ProgrammerMessage(result, MessageTable::Dump))
            .add("advice", access::accessAdvice(report))
            .add("blockedNodes", report.blockedNodes);
        if (out.style().json) {
            out.result(object, "");
        } else {
            const std::string advice = access::accessAdvice(report);
            std::fprintf(stderr, "%s%s%s\n", ProgrammerMessage(result, MessageTable::Dump).c_str(),
                         advice.empty() ? "" : " ", advice.c_str());
        }
        return static_cast<int>(blocked ? ExitStatus::NotAccessible : ExitStatus::NoDevice);
    }
    if (result == RC_FIRMWARE_MISMATCH) {
        object.add("ok", true)
            .add("found", true)
            .add("accessible", true)
            .add("firmwareMatches", false)
            .add("resultCode", static_cast<int>(result));
        out.result(object,
                   "Programmer found and accessible, but its firmware does not match "
                   "(run korvid update-firmware).");
        return 0;
    }
    if (result != RC_OK) {
        ThrowForResult(result, MessageTable::Dump);
    }
    const uint16_t identifier = LastProgrammerIdentifier();
    object.add("ok", true)
        .add("found", true)
        .add("accessible", true)
        .add("firmwareMatches", true)
        .add("model", ModelName(identifier))
        .add("identifier", Hex(identifier, 4));
    if (std::getenv("KORVID_SIMULATE") != nullptr) {
        object.add("simulated", std::string(std::getenv("KORVID_SIMULATE")));
    }
    out.result(object, ModelName(identifier) + ", identifier " + Hex(identifier, 4) +
                           ", accessible, firmware matches");
    return 0;
}

}  // namespace korvid::cli
