// program, dump and update-firmware: the commands that talk to the programmer.
#include "commands.h"

#include "code_image.h"
#include "firmware_mismatch.h"
#include "korvid.h"
#include "messages.h"
#include "part_lookup.h"

#include <cstdio>

namespace korvid::cli {
namespace {

namespace core = korvid::core;

void ApplyStoreChoices(const StoreChoices& store, const PartInfo& part, Job& job) {
    if (!store.store) {
        core::ApplyDirectProgramming(job.record);
        return;
    }
    core::SerialSettings serial = store.serial;
    if (!store.serialAddressGiven) {
        serial.serialAddress = core::HighestSerialAddress(part.flashSize);
    }
    switch (core::CheckSerialSettings(serial, part.flashSize)) {
        case core::SerialProblem::MaxCountTooLarge:
            throw CommandFailure(ExitStatus::BadSetting, core::Messages::maxValueIs65530.english);
        case core::SerialProblem::SerialTextTooLong:
            throw CommandFailure(ExitStatus::BadSetting, "serial text \"" + serial.serialText +
                                                             "\" is longer than 12 characters");
        case core::SerialProblem::SerialAddressTooHigh:
            throw CommandFailure(ExitStatus::BadSetting,
                                 "serial start address " + Hex(serial.serialAddress, 8) +
                                     " is beyond the highest start address " +
                                     Hex(core::HighestSerialAddress(part.flashSize), 8) + " of " +
                                     part.name);
        case core::SerialProblem::None:
            break;
    }
    core::ApplySerialSettings(serial, job.record);
}

}  // namespace

int RunProgram(const Reporter& out, const JobChoices& choices, const StoreChoices& store,
               FirmwarePolicy policy) {
    Job job = LoadJob(choices);
    const PartInfo& part = IspCatalogue()[static_cast<std::size_t>(job.record.partIndex)];
    ApplyStoreChoices(store, part, job);
    job.record.codeLength = static_cast<uint32_t>(job.image.size());
    job.record.codeBuffer = job.image.data();
    const uint64_t states =
        job.record.optionStates[0] | (uint64_t{job.record.optionStates[1]} << 32);
    out.detail("part " + std::string(part.name) + ", image " + Hex(job.record.codeLength, 0) +
               " bytes, checksum " + Hex(core::ImageChecksum(job.image), 4) +
               (job.truncated ? " (truncated)" : ""));
    const uint32_t toTarget = store.store ? 0 : 1;
    const uint8_t result = WithFirmwareCheck(out, policy, MessageTable::Update, [&] {
        const ProgressLine progress(
            out, store.store ? "Storing the job in the programmer" : "Programming the target");
        return UpdateMCU(&job.record, job.icpFlag, toTarget);
    });
    ThrowForResult(result, MessageTable::Update);
    Json object{{"command", store.store ? "store" : "program"},
                {"ok", true},
                {"exitStatus", 0},
                {"resultCode", 0},
                {"message", ProgrammerMessage(RC_OK, MessageTable::Update)},
                {"part", part.name},
                {"source", job.source},
                {"codeLength", job.record.codeLength},
                {"checksum", Hex(core::ImageChecksum(job.image), 4)},
                {"options", OptionNames(part, states)},
                {"truncated", job.truncated}};
    std::string human = ProgrammerMessage(RC_OK, MessageTable::Update);
    if (store.store) {
        object["maxCount"] = job.record.maxCount;
        object["serialNumbers"] = (job.record.serialFlags & 1u) != 0;
        human += " Job stored: max count " + std::to_string(job.record.maxCount);
        if ((job.record.serialFlags & 1u) != 0) {
            object["serialText"] = std::string(job.record.serialText, KORVID_SERIAL_TEXT_SIZE);
            object["serialNumber"] = Hex(job.record.serialNumber, 8);
            object["autoIncrement"] = (job.record.serialFlags & 2u) != 0;
            object["nextSerialAddress"] = Hex(job.record.serialAddress, 8);
            human += ", serial number " + Hex(job.record.serialNumber, 8) + " at " +
                     Hex(store.serialAddressGiven ? store.serial.serialAddress
                                                  : core::HighestSerialAddress(part.flashSize),
                         8);
        }
    }
    out.result(object, human);
    return 0;
}

int RunDump(const Reporter& out, const std::optional<std::string>& outputFile,
            FirmwarePolicy policy) {
    std::vector<uint8_t> information(256);
    const uint8_t result = WithFirmwareCheck(out, policy, MessageTable::Dump, [&] {
        const ProgressLine progress(out, "Reading the target information");
        return DumpMCUInfo(information.data());
    });
    ThrowForResult(result, MessageTable::Dump);
    std::string hex;
    for (const uint8_t byte : information) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    Json object{{"command", "dump"},
                {"ok", true},
                {"exitStatus", 0},
                {"resultCode", 0},
                {"message", ProgrammerMessage(RC_OK, MessageTable::Dump)}};
    if (outputFile) {
        WriteFileAtomically(*outputFile, information);
        object["file"] = *outputFile;
        out.result(object,
                   ProgrammerMessage(RC_OK, MessageTable::Dump) + " Written to " + *outputFile);
        return 0;
    }
    object["bytes"] = hex;
    std::string human;
    for (std::size_t row = 0; row < information.size(); row += 16) {
        char line[96];
        int at = std::snprintf(line, sizeof line, "%04zX ", row);
        for (std::size_t i = 0; i < 16; ++i) {
            at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), " %02X",
                                information[row + i]);
        }
        human += std::string(line) + "  ";
        for (std::size_t i = 0; i < 16; ++i) {
            const uint8_t c = information[row + i];
            human += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
        }
        human += row + 16 < information.size() ? "\n" : "";
    }
    out.result(object, human);
    return 0;
}

int RunUpdateFirmware(const Reporter& out) {
    const uint8_t result = RunFirmwareUpdate(out);
    ThrowForResult(result, MessageTable::Update);
    out.result(Json{{"command", "update-firmware"},
                    {"ok", true},
                    {"exitStatus", 0},
                    {"resultCode", 0},
                    {"message", ProgrammerMessage(RC_OK, MessageTable::Update)}},
               ProgrammerMessage(RC_OK, MessageTable::Update));
    return 0;
}

}  // namespace korvid::cli
