// kpj save, kpj show and convert: the commands that work on files only.
#include "commands.h"

#include "code_content.h"
#include "code_file.h"
#include "code_image.h"
#include "file_replace.h"
#include "korvid.h"
#include "mapped_file.h"
#include "messages.h"
#include "part_lookup.h"
#include "project_load.h"

#include <cstdio>

namespace korvid::cli {
namespace {

namespace core = korvid::core;

uint32_t BigEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

}  // namespace

int RunKpjSave(const Reporter& out, const JobChoices& choices, const std::string& outputFile) {
    Job job = LoadJob(choices);
    job.record.codeLength = static_cast<uint32_t>(job.image.size());
    uint8_t none = 0;
    job.record.codeBuffer = job.image.empty() ? &none : job.image.data();
    // The library writes a temporary file beside the target and renames it, so a
    // failed save leaves an existing project whole.
    const uint8_t result = SaveKPJ(outputFile.c_str(), &job.record, job.icpFlag);
    if (result == RC_FILE_OPEN) {
        throw CommandFailure(ExitStatus::FileError,
                             core::Messages::cantCreateOrWrite.english + outputFile + "\" !",
                             RC_FILE_OPEN);
    }
    if (result != RC_OK) {
        throw CommandFailure(ExitStatus::OtherResult,
                             std::string(core::Messages::saveKpjFail.english), result);
    }
    const PartInfo& part = IspCatalogue()[static_cast<std::size_t>(job.record.partIndex)];
    out.result(Json{{"command", "kpj save"},
                    {"ok", true},
                    {"exitStatus", 0},
                    {"resultCode", 0},
                    {"file", outputFile},
                    {"part", part.name},
                    {"codeLength", job.record.codeLength},
                    {"checksum", Hex(core::ImageChecksum(job.image), 4)}},
               "Saved " + outputFile + " (" + part.name + ", " + Hex(job.record.codeLength, 0) +
                   " bytes, checksum " + Hex(core::ImageChecksum(job.image), 4) + ")");
    return 0;
}

int RunKpjShow(const Reporter& out, const std::string& file) {
    const core::LoadedProject project = core::LoadProject(file);
    if (project.result != RC_OK) {
        throw CommandFailure(ExitStatusForResult(project.result),
                             ProjectMessage(project.result, file), project.result);
    }
    // The library has accepted the file, so its footer is whole: the fields are
    // read at their places from the end of the file.
    core::CodeFile whole = core::ReadCodeFile(file);
    const std::size_t codeLength = project.record.codeLength;
    if (whole.failure != core::FileFailure::None || whole.bytes.size() < codeLength + 53) {
        throw CommandFailure(ExitStatus::FileError,
                             core::Messages::cantOpen.english + file + "\" !", RC_FILE_OPEN);
    }
    const uint8_t* f = whole.bytes.data() + codeLength;
    const std::size_t footerLength = whole.bytes.size() - codeLength;
    const uint8_t* end = f + footerLength;
    const uint8_t nameLength = f[16];
    const auto parts = IspCatalogue();
    const int index = project.record.partIndex;
    const bool known =
        project.icpFlag == 0 && index >= 0 && static_cast<std::size_t>(index) < parts.size();
    const uint64_t states =
        project.record.optionStates[0] | (uint64_t{project.record.optionStates[1]} << 32);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "20%02u-%02u-%02u %02u:%02u:%02u", end[-15], end[-14],
                  end[-13], end[-12], end[-11], end[-10]);
    std::string icpBytes;
    for (int i = 0; i < 8; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%s%02X", i == 0 ? "" : " ", end[-25 + i]);
        icpBytes += pair;
    }
    static const char* const kAreas[] = {"AP", "IAP", "ISP", "AP+IAP", "Whole-chip"};
    const uint8_t area = end[-27];
    const std::string areaName = area >= 1 && area <= 5 ? kAreas[area - 1] : "unknown";

    const Json object{
        {"command", "kpj show"},
        {"ok", true},
        {"exitStatus", 0},
        {"file", file},
        {"magic", std::string(reinterpret_cast<const char*>(f), 16)},
        {"codeName", std::string(reinterpret_cast<const char*>(f + 17), nameLength)},
        {"codeLength", BigEndian(end - 36, 4)},
        {"codeSum", Hex(BigEndian(end - 32, 2), 4)},
        {"deviceCode", Hex(BigEndian(end - 30, 2), 4)},
        {"part", known ? parts[static_cast<std::size_t>(index)].name : ""},
        {"icp", project.icpFlag != 0},
        {"ispOptionByte", Hex(end[-28], 2)},
        {"options", known ? OptionNames(parts[static_cast<std::size_t>(index)], states)
                          : std::vector<std::string>{}},
        {"programArea", areaName},
        {"constant", end[-26]},
        {"icpConfiguration", icpBytes},
        {"randomWord", Hex(static_cast<uint32_t>(end[-17] | (end[-16] << 8)), 4)},
        {"written", stamp},
        {"programmerIdentifier", Hex(BigEndian(end - 9, 2), 4)},
        {"version", Hex(BigEndian(end - 7, 2), 4)},
        {"toolCode", end[-5]},
        {"footerSum", Hex(BigEndian(end - 4, 2), 4)},
        {"footerLength", BigEndian(end - 2, 2)}};
    std::string human =
        "File:                  " + file +
        "\nMagic:                 " + std::string(reinterpret_cast<const char*>(f), 16) +
        "\nCode name:             \"" +
        std::string(reinterpret_cast<const char*>(f + 17), nameLength) + "\"" +
        "\nCode length:           " + Hex(BigEndian(end - 36, 4), 0) +
        "\nCode sum:              " + Hex(BigEndian(end - 32, 2), 4) +
        "\nDevice code:           " + Hex(BigEndian(end - 30, 2), 4) +
        (known ? std::string(" (") + parts[static_cast<std::size_t>(index)].name + ")"
               : std::string(" (ICP)")) +
        "\nISP option byte:       " + Hex(end[-28], 2);
    if (known) {
        std::string on;
        for (const std::string& name :
             OptionNames(parts[static_cast<std::size_t>(index)], states)) {
            on += (on.empty() ? "" : ", ") + name;
        }
        human += " (on: " + (on.empty() ? std::string("none") : on) + ")";
    }
    human += "\nProgramming area:      " + areaName +
             "\nConstant:              " + std::to_string(end[-26]) +
             "\nICP configuration:     " + icpBytes + "\nRandom word:           " +
             Hex(static_cast<uint32_t>(end[-17] | (end[-16] << 8)), 4) +
             "\nWritten:               " + stamp +
             "\nProgrammer identifier: " + Hex(BigEndian(end - 9, 2), 4) +
             "\nVersion:               " + Hex(BigEndian(end - 7, 2), 4) +
             "\nTool code:             " + std::to_string(end[-5]) +
             "\nFooter sum:            " + Hex(BigEndian(end - 4, 2), 4) +
             "\nFooter length:         " + std::to_string(BigEndian(end - 2, 2));
    out.result(object, human);
    return 0;
}

int RunConvert(const Reporter& out, const std::string& input, const std::string& output) {
    // The text is converted straight from a mapping of the file: a large file's
    // text is neither copied nor zero-filled first.
    std::vector<uint8_t> image;
    {
        const MappedFile file(input);
        if (file.failure() != core::FileFailure::None) {
            throw CommandFailure(ExitStatus::FileError,
                                 core::Messages::cantOpen.english + input + "\",\nError code = " +
                                     std::to_string(static_cast<unsigned>(file.failure())));
        }
        const std::string_view text = file.text();
        RequireIntelHex(input,
                        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                        "nothing was written to \"" + output + "\"");
        image = ConvertIntelHex(input, text);
    }
    ReplaceFile(output, image, Durability::Fast);
    if (out.style().quiet && !out.style().json) {
        return 0;  // the checksum is only worth its pass over the image when shown
    }
    const std::string size = Hex(static_cast<uint32_t>(image.size()), 0);
    const std::string checksum = Hex(core::ImageChecksum(image), 4);
    out.result(Json{{"command", "convert"},
                    {"ok", true},
                    {"exitStatus", 0},
                    {"input", input},
                    {"output", output},
                    {"size", image.size()},
                    {"checksum", checksum}},
               "Converted " + input + " to " + output + " (" + size + " bytes, checksum " +
                   checksum + ")");
    return 0;
}

}  // namespace korvid::cli
