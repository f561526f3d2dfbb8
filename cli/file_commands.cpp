// kpj save, kpj show and convert: the commands that work on files only.
#include "commands.h"

#include "code_content.h"
#include "code_file.h"
#include "code_image.h"
#include "code_name.h"
#include "file_replace.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "mapped_file.h"
#include "messages.h"
#include "part_lookup.h"
#include "project_load.h"

#include <cstdio>

namespace korvid::cli {
namespace {

namespace core = korvid::core;

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
    // One reading of the file gives the library's verdict and every footer field.
    JobRecord record{};
    uint32_t icpFlag = 0;
    KorvidProjectFooter footer{};
    const uint8_t result = KorvidLoadKPJFooter(file.c_str(), &record, &icpFlag, &footer);
    if (result != RC_OK) {
        throw CommandFailure(ExitStatusForResult(result), ProjectMessage(result, file), result);
    }
    const auto parts = IspCatalogue();
    const int index = record.partIndex;
    const bool known = icpFlag == 0 && index >= 0 && static_cast<std::size_t>(index) < parts.size();
    const uint64_t states = record.optionStates[0] | (uint64_t{record.optionStates[1]} << 32);
    const std::string magic(footer.magic, KORVID_KPJ_MAGIC_SIZE);
    const std::string codeName =
        core::ShownCodeName(std::string_view(footer.codeName, footer.codeNameLength));
    const uint8_t* w = footer.written;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "20%02u-%02u-%02u %02u:%02u:%02u", w[0], w[1], w[2], w[3],
                  w[4], w[5]);
    std::string icpBytes;
    for (const uint8_t byte : footer.icpConfiguration) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%s%02X", icpBytes.empty() ? "" : " ", byte);
        icpBytes += pair;
    }
    static const char* const kAreas[] = {"AP", "IAP", "ISP", "AP+IAP", "Whole-chip"};
    const uint8_t area = footer.programArea;
    const std::string areaName = area >= 1 && area <= 5 ? kAreas[area - 1] : "unknown";

    const Json object{
        {"command", "kpj show"},
        {"ok", true},
        {"exitStatus", 0},
        {"file", file},
        {"magic", magic},
        {"codeName", codeName},
        {"codeLength", footer.codeLength},
        {"codeSum", Hex(footer.codeSum, 4)},
        {"deviceCode", Hex(footer.deviceCode, 4)},
        {"part", known ? parts[static_cast<std::size_t>(index)].name : ""},
        {"icp", icpFlag != 0},
        {"ispOptionByte", Hex(footer.ispOptionByte, 2)},
        {"options", known ? OptionNames(parts[static_cast<std::size_t>(index)], states)
                          : std::vector<std::string>{}},
        {"programArea", areaName},
        {"constant", footer.constant},
        {"icpConfiguration", icpBytes},
        {"randomWord", Hex(footer.randomWord, 4)},
        {"written", stamp},
        {"programmerIdentifier", Hex(footer.programmerIdentifier, 4)},
        {"version", Hex(footer.version, 4)},
        {"toolCode", footer.toolCode},
        {"footerSum", Hex(footer.footerSum, 4)},
        {"footerLength", footer.footerLength}};
    std::string human =
        "File:                  " + file + "\nMagic:                 " + magic +
        "\nCode name:             \"" + codeName + "\"" +
        "\nCode length:           " + Hex(footer.codeLength, 0) +
        "\nCode sum:              " + Hex(footer.codeSum, 4) +
        "\nDevice code:           " + Hex(footer.deviceCode, 4) +
        (known ? std::string(" (") + parts[static_cast<std::size_t>(index)].name + ")"
               : std::string(" (ICP)")) +
        "\nISP option byte:       " + Hex(footer.ispOptionByte, 2);
    if (known) {
        std::string on;
        for (const std::string& name :
             OptionNames(parts[static_cast<std::size_t>(index)], states)) {
            on += (on.empty() ? "" : ", ") + name;
        }
        human += " (on: " + (on.empty() ? std::string("none") : on) + ")";
    }
    human += "\nProgramming area:      " + areaName +
             "\nConstant:              " + std::to_string(footer.constant) +
             "\nICP configuration:     " + icpBytes +
             "\nRandom word:           " + Hex(footer.randomWord, 4) +
             "\nWritten:               " + stamp +
             "\nProgrammer identifier: " + Hex(footer.programmerIdentifier, 4) +
             "\nVersion:               " + Hex(footer.version, 4) +
             "\nTool code:             " + std::to_string(footer.toolCode) +
             "\nFooter sum:            " + Hex(footer.footerSum, 4) +
             "\nFooter length:         " + std::to_string(footer.footerLength);
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
