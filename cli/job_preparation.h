// A job ready for UpdateMCU: loaded, its count and serial settings checked and
// applied, its code image attached; and the fields that describe it in results
// and log entries.
#pragma once

#include "job_input.h"
#include "report.h"
#include "serial_settings.h"

namespace korvid::cli {

struct StoreChoices {
    bool store = false;
    // Serial numbers (serial.serialEnabled) also apply to programming targets
    // one after another with --repeat.
    korvid::core::SerialSettings serial;
    bool serialAddressGiven = false;
};

struct PreparedJob {
    Job job;  // job.record.codeBuffer points into job.image
    const PartInfo* part = nullptr;
    bool store = false;
    uint32_t serialAddress = 0;  // the serial block start, as given or by default

    bool serialNumbers() const { return (job.record.serialFlags & 1u) != 0; }
};

// Loads and checks everything before a programmer is touched; every refusal
// throws a CommandFailure. Without --store the job programs the target: count
// 0xFFFF and, unless serial numbers are on, no serial block.
PreparedJob PrepareJob(const JobChoices& choices, const StoreChoices& store);

// part, source, codeLength, checksum, options, area, address and truncated.
Json JobFields(const PreparedJob& prepared);

// maxCount and serialNumbers; with serial numbers on also serialText,
// serialNumber, autoIncrement and serialAddress (the block's start).
Json CountFields(const PreparedJob& prepared);

}  // namespace korvid::cli
