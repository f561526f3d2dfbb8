#include "job_preparation.h"

#include "code_image.h"
#include "messages.h"
#include "part_lookup.h"

namespace korvid::cli {
namespace {

namespace core = korvid::core;

void CheckSerialSettings(const core::SerialSettings& serial, const PartInfo& part) {
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
}

}  // namespace

PreparedJob PrepareJob(const JobChoices& choices, const StoreChoices& store) {
    PreparedJob prepared{LoadJob(choices)};
    Job& job = prepared.job;
    prepared.part = &IspCatalogue()[static_cast<std::size_t>(job.record.partIndex)];
    prepared.store = store.store;
    core::SerialSettings serial = store.serial;
    if (!store.serialAddressGiven) {
        serial.serialAddress = core::HighestSerialAddress(prepared.part->flashSize);
    }
    prepared.serialAddress = serial.serialAddress;
    if (store.store || serial.serialEnabled) {
        CheckSerialSettings(serial, *prepared.part);
    }
    if (store.store) {
        core::ApplySerialSettings(serial, job.record);
    } else {
        // A target programmed now gets the direct-programming count; a serial number,
        // when on, is written into it as a stored job would.
        core::ApplyDirectProgramming(job.record);
        if (serial.serialEnabled) {
            core::ApplySerialSettings(serial, job.record);
            job.record.maxCount = 0xFFFF;
        }
    }
    job.record.codeLength = static_cast<uint32_t>(job.image.size());
    job.record.codeBuffer = job.image.data();
    return prepared;
}

Json JobFields(const PreparedJob& prepared) {
    const Job& job = prepared.job;
    const uint64_t states =
        job.record.optionStates[0] | (uint64_t{job.record.optionStates[1]} << 32);
    return Json{{"part", prepared.part->name},
                {"source", job.source},
                {"codeLength", job.record.codeLength},
                {"checksum", Hex(core::ImageChecksum(job.image), 4)},
                {"options", OptionNames(*prepared.part, states)},
                {"area", job.fromProject          ? "project"
                         : job.insertAddress == 0 ? "code"
                                                  : "data"},
                {"address", Hex(job.insertAddress, 8)},
                {"truncated", job.truncated}};
}

Json CountFields(const PreparedJob& prepared) {
    const JobRecord& record = prepared.job.record;
    Json fields{{"maxCount", record.maxCount}, {"serialNumbers", prepared.serialNumbers()}};
    if (prepared.serialNumbers()) {
        fields["serialText"] = std::string(record.serialText, KORVID_SERIAL_TEXT_SIZE);
        fields["serialNumber"] = Hex(record.serialNumber, 8);
        fields["autoIncrement"] = (record.serialFlags & 2u) != 0;
        fields["serialAddress"] = Hex(prepared.serialAddress, 8);
    }
    return fields;
}

}  // namespace korvid::cli
