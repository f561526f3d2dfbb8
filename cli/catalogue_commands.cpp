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
        Json object{{"name", part.name},
                    {"series", seriesName},
                    {"flashSize", part.flashSize},
                    {"iapStart", part.iapStart}};
        Json options = Json::array();
        std::string human = std::string(part.name) + "  " + seriesName + "  flash " +
                            Hex(part.flashSize, 4) + "  IAP start " + Hex(part.iapStart, 4);
        for (uint32_t k = 0; k < part.optionCount; ++k) {
            const std::string description = Cp936ToUtf8(part.options[k].description);
            options.push_back(Json{{"name", part.options[k].name}, {"description", description}});
            human += std::string("\n    ") + part.options[k].name + "  " + description;
        }
        object["options"] = std::move(options);
        out.result(object, human);
    }
    return 0;
}

int RunDetect(const Reporter& out) {
    // No export only identifies the programmer; reading the target information
    // runs the same detection and changes nothing.
    uint8_t information[256];
    const uint8_t result = DumpMCUInfo(information);
    Json object{{"command", "detect"}};
    if (result == RC_NO_DEVICE) {
        const access::AccessReport report = access::probeProgrammerAccess();
        const bool blocked = report.presence == access::Presence::NotAccessible;
        object["ok"] = false;
        object["found"] = blocked;
        object["accessible"] = false;
        object["exitStatus"] =
            static_cast<int>(blocked ? ExitStatus::NotAccessible : ExitStatus::NoDevice);
        object["resultCode"] = result;
        object["message"] = ProgrammerMessage(result, MessageTable::Dump);
        object["advice"] = access::accessAdvice(report);
        object["blockedNodes"] = report.blockedNodes;
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
        object["ok"] = true;
        object["found"] = true;
        object["accessible"] = true;
        object["firmwareMatches"] = false;
        object["resultCode"] = result;
        out.result(object,
                   "Programmer found and accessible, but its firmware does not match "
                   "(run korvid update-firmware).");
        return 0;
    }
    if (result != RC_OK) {
        ThrowForResult(result, MessageTable::Dump);
    }
    const uint16_t identifier = LastProgrammerIdentifier();
    object["ok"] = true;
    object["found"] = true;
    object["accessible"] = true;
    object["firmwareMatches"] = true;
    object["model"] = ModelName(identifier);
    object["identifier"] = Hex(identifier, 4);
    if (const char* simulated = std::getenv("KORVID_SIMULATE")) {
        object["simulated"] = simulated;
    }
    out.result(object, ModelName(identifier) + ", identifier " + Hex(identifier, 4) +
                           ", accessible, firmware matches");
    return 0;
}

}  // namespace korvid::cli
