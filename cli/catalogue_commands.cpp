// parts and detect: what the library carries and which programmer is attached.
#include "commands.h"

#include "access_advice.h"
#include "cp936_text.h"
#include "firmware_mismatch.h"
#include "korvid_ext.h"
#include "part_lookup.h"
#include "programmer_choice.h"
#include "programmer_list.h"
#include "series_names.h"

#include <cstdio>

namespace korvid::cli {
namespace {

std::string ModelName(uint32_t link) {
    return link == KORVID_LINK_HID ? "HID programmer" : "older pipe programmer";
}

// One listed programmer: its listing and, when it may be asked, its handshake.
// Returns the exit status this programmer alone would give.
int DetectOne(const Reporter& out, const KorvidProgrammerInfo& info) {
    Json object{{"command", "detect"},
                {"location", info.location},
                {"link", info.link == KORVID_LINK_HID ? "hid" : "pipe"},
                {"model", ModelName(info.link)},
                {"serial", info.serial},
                {"node", info.node},
                {"updateMode", info.updateMode != 0},
                {"accessible", info.accessible != 0}};
    std::string human = std::string(info.location) + "  " + ModelName(info.link) +
                        (info.serial[0] != '\0' ? ", serial " + std::string(info.serial) : "");
    int status = 0;
    if (info.updateMode != 0) {
        object["identifier"] = nullptr;
        object["firmwareMatches"] = nullptr;
        object["message"] = "waiting in firmware-update mode (run korvid update-firmware)";
        human += ", in firmware-update mode (run korvid update-firmware)";
    } else if (info.accessible == 0) {
        const std::string advice = AccessAdvice(KORVID_ACCESS_DENIED, info.node);
        status = static_cast<int>(ExitStatus::NotAccessible);
        object["identifier"] = nullptr;
        object["firmwareMatches"] = nullptr;
        object["message"] = advice;
        human += ", not accessible: " + advice;
    } else {
        KorvidDetection detection{};
        const uint8_t result = KorvidSelectProgrammer(info.location) == RC_OK
                                   ? KorvidDetectProgrammer(&detection)
                                   : static_cast<uint8_t>(RC_NO_DEVICE);
        if (result == RC_OK || result == RC_FIRMWARE_MISMATCH) {
            object["identifier"] = Hex(detection.identifier, 4);
            object["firmwareMatches"] = result == RC_OK;
            human += ", identifier " + Hex(detection.identifier, 4) + ", accessible, " +
                     (result == RC_OK ? "firmware matches"
                                      : "firmware does not match (run korvid update-firmware)");
        } else {
            status = static_cast<int>(ExitStatusForResult(result));
            object["identifier"] = nullptr;
            object["firmwareMatches"] = nullptr;
            object["resultCode"] = result;
            object["message"] = ProgrammerMessage(result, MessageTable::Dump);
            human += ", accessible, no answer: " + object["message"].get<std::string>();
        }
    }
    object["ok"] = status == 0;
    object["exitStatus"] = status;
    out.result(object, human);
    return status;
}

}  // namespace

int RunParts(const Reporter& out, const std::optional<std::string>& series) {
    const auto parts = IspCatalogue();
    const std::optional<int> seriesBit =
        series ? core::SeriesBitOfName(*series) : std::optional<int>();
    if (series && !seriesBit) {
        throw CommandFailure(ExitStatus::BadSetting, "unknown series \"" + *series +
                                                         "\"; valid: \"Series A\" to \"Series G\"");
    }
    for (const PartInfo& part : parts) {
        const std::string seriesName(core::SeriesName(part.seriesMask));
        if (seriesBit && seriesName != core::kSeriesNames[static_cast<std::size_t>(*seriesBit)]) {
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
            const std::string description = core::Cp936ToUtf8(part.options[k].description);
            options.push_back(Json{{"name", part.options[k].name}, {"description", description}});
            human += std::string("\n    ") + part.options[k].name + "  " + description;
        }
        object["options"] = std::move(options);
        out.result(object, human);
    }
    return 0;
}

int RunDetect(const Reporter& out, const std::optional<std::string>& device) {
    // With a device, one listing decides: ChooseProgrammer returns the programmer it
    // names or throws the failure that names the attached ones.
    const std::vector<KorvidProgrammerInfo> list =
        device ? std::vector<KorvidProgrammerInfo>{*ChooseProgrammer(device)} : core::ListProgrammers();
    if (list.empty()) {
        // Not listed, yet perhaps there: a programmer without its driver (Windows).
        KorvidAccess access{};
        KorvidCheckAccess(&access);
        const std::string advice = AccessAdvice(access.cause, access.node);
        const bool blocked = !advice.empty();
        const ExitStatus status = blocked ? ExitStatus::NotAccessible : ExitStatus::NoDevice;
        const std::string message = ProgrammerMessage(RC_NO_DEVICE, MessageTable::Dump);
        if (out.style().json) {
            out.result(Json{{"command", "detect"},
                            {"ok", false},
                            {"found", blocked},
                            {"accessible", false},
                            {"exitStatus", static_cast<int>(status)},
                            {"resultCode", RC_NO_DEVICE},
                            {"message", message},
                            {"advice", advice},
                            {"blockedNodes", blocked ? std::vector<std::string>{access.node}
                                                     : std::vector<std::string>{}}},
                       "");
        } else {
            std::fprintf(stderr, "%s%s%s\n", message.c_str(), advice.empty() ? "" : " ",
                         advice.c_str());
        }
        return static_cast<int>(status);
    }
    int status = 0;
    for (const KorvidProgrammerInfo& info : list) {
        const int one = DetectOne(out, info);
        status = status != 0 ? status : one;
    }
    return status;
}

}  // namespace korvid::cli
