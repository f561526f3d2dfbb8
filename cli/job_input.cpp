#include "job_input.h"

#include "code_content.h"
#include "code_file.h"
#include "code_image.h"
#include "code_name.h"
#include "messages.h"
#include "outcome.h"
#include "part_lookup.h"
#include "project_load.h"
#include "serial_settings.h"

#include <cstdio>

namespace korvid::cli {
namespace {

namespace core = korvid::core;

// Cuts data placed at insertAddress where the flash ends at limit, when truncate
// allows it; true when it did. Throws an ImageTooLarge failure otherwise.
bool CutToFlash(std::vector<uint8_t>& data, uint32_t insertAddress, uint32_t limit, bool truncate) {
    if (uint64_t{insertAddress} + data.size() <= limit) {
        return false;
    }
    if (!truncate) {
        char detail[160];
        std::snprintf(detail, sizeof detail,
                      " (0x%zX bytes at 0x%X, flash ends at 0x%X; --truncate cuts it)", data.size(),
                      insertAddress, limit);
        throw CommandFailure(ExitStatus::ImageTooLarge,
                             std::string(core::Messages::fileTooLarge.english) + detail);
    }
    data.resize(limit - insertAddress);
    return true;
}

// Whether entry index of the project's catalogue has the project's device code.
bool SharesDeviceCode(const KorvidProjectFooter& footer, int index) {
    return index >= 0 && index < 64 &&
           ((footer.partsWithDeviceCode[index / 32] >> (index % 32)) & 1u) != 0;
}

// The part a project is programmed as: the library's choice, or the part --part
// names when it shares the project's device code (a project stores only the code).
int ProjectPart(const core::LoadedProject& project, const JobChoices& choices,
                std::span<const PartInfo> parts) {
    const int chosen = project.record.partIndex;
    if (!choices.part) {
        return chosen;
    }
    const int named = FindPart(*choices.part);
    if (named == chosen || SharesDeviceCode(project.footer, named)) {
        return named;
    }
    std::string sharing;
    for (int index = 0; index < static_cast<int>(parts.size()); ++index) {
        if (SharesDeviceCode(project.footer, index)) {
            sharing += (sharing.empty() ? "" : ", ") + std::string(parts[index].name);
        }
    }
    throw CommandFailure(ExitStatus::BadSetting,
                         "the project is for " + sharing + ", not \"" + *choices.part + "\"");
}

Job LoadProjectJob(const JobChoices& choices) {
    core::LoadedProject project = core::LoadProject(choices.file);
    if (project.result != RC_OK) {
        throw CommandFailure(ExitStatusForResult(project.result),
                             ProjectMessage(project.result, choices.file), project.result);
    }
    const auto parts = IspCatalogue();
    if (project.icpFlag != 0 || project.record.partIndex < 0 ||
        static_cast<std::size_t>(project.record.partIndex) >= parts.size()) {
        throw CommandFailure(ExitStatus::ProjectRefused, core::Messages::mcuTypeError.english);
    }
    const int partIndex = ProjectPart(project, choices, parts);
    const PartInfo& part = parts[static_cast<std::size_t>(partIndex)];
    Job job;
    job.fromProject = true;
    job.icpFlag = project.icpFlag;
    job.image = std::move(project.code);
    // Never more than the part's flash is sent, as for a code file.
    job.truncated = CutToFlash(job.image, 0, part.flashSize, choices.truncate);
    job.source = choices.file + " (Code Name: \"" + core::ShownCodeName(project.record) + "\")";
    JobRecord& record = job.record;
    record.partIndex = partIndex;
    record.programArea = project.record.programArea;
    // Only options the part has are taken over; the dialog's own code name stays
    // empty, as after a project load in a fresh dialog.
    uint64_t states =
        project.record.optionStates[0] | (uint64_t{project.record.optionStates[1]} << 32);
    if (!choices.options.empty()) {
        states = OptionBits(part, choices.options);
    }
    const uint64_t known =
        part.optionCount >= 64 ? ~uint64_t{0} : (uint64_t{1} << part.optionCount) - 1;
    states &= known;
    record.optionStates[0] = static_cast<uint32_t>(states);
    record.optionStates[1] = static_cast<uint32_t>(states >> 32);
    return job;
}

// The file's image as the dialog's load builds it into an empty buffer at
// insertAddress, cut at limit when choices.truncate is set.
std::vector<uint8_t> LoadImageFile(const JobChoices& choices, uint32_t insertAddress,
                                   uint32_t limit, bool& truncated) {
    const std::string& path = choices.file;
    core::CodeFile file = core::ReadCodeFile(path);
    if (file.failure != core::FileFailure::None) {
        throw CommandFailure(ExitStatus::FileError,
                             core::Messages::cantOpen.english + path + "\",\nError code = " +
                                 std::to_string(static_cast<unsigned>(file.failure)));
    }
    std::vector<uint8_t> data;
    if (choices.format.value_or(core::FormatOfPath(path)) == core::CodeFormat::IntelHex) {
        if (!choices.format) {
            RequireIntelHex(path, file.bytes,
                            "give --format bin to use its bytes as they are or --format hex to "
                            "read it as Intel HEX all the same");
        }
        data = ConvertIntelHex(
            path,
            std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
    } else {
        if (!choices.format) {
            RefuseIntelHexAsBinary(path, file.bytes);
        }
        data = std::move(file.bytes);
    }
    truncated = CutToFlash(data, insertAddress, limit, choices.truncate);
    if (insertAddress == 0) {
        return data;  // laid over an empty image at 0, the file's image is the whole image
    }
    return core::OverlayImage({}, data, insertAddress);
}

}  // namespace

Job LoadJob(const JobChoices& choices) {
    if (choices.format.value_or(core::FormatOfPath(choices.file)) == core::CodeFormat::Project) {
        return LoadProjectJob(choices);
    }
    if (!choices.part) {
        throw CommandFailure(ExitStatus::BadSetting,
                             "a part is needed for a code file: give --part NAME");
    }
    Job job;
    JobRecord& record = job.record;
    record.partIndex = FindPart(*choices.part);
    const PartInfo& part = IspCatalogue()[static_cast<std::size_t>(record.partIndex)];
    const uint64_t states = OptionBits(part, choices.options);
    record.optionStates[0] = static_cast<uint32_t>(states);
    record.optionStates[1] = static_cast<uint32_t>(states >> 32);
    record.programArea = AREA_AP;  // an ISP part's area is AP
    const uint32_t insertAddress =
        choices.area == LoadArea::Code ? 0 : choices.address.value_or(part.iapStart);
    if (insertAddress >= part.flashSize) {
        throw CommandFailure(ExitStatus::BadSetting,
                             core::Messages::insertAddressOverChipSize.english);
    }
    job.image = LoadImageFile(choices, insertAddress, part.flashSize, job.truncated);
    job.insertAddress = insertAddress;
    job.source = choices.file;
    core::StoreCodeName(record, choices.file);
    record.hwOptions = core::HwOptionsFromFields(choices.hwwidl, choices.hwps, 0);
    return job;
}

}  // namespace korvid::cli
