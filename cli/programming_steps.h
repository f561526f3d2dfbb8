// One programming or storing operation on one programmer, shared by the
// single-programmer command, the workers of a rack and --repeat.
#pragma once

#include "commands.h"
#include "job_preparation.h"
#include "korvid_ext.h"
#include "production_log.h"
#include "serial_ranges.h"

#include <optional>

namespace korvid::cli {

struct Attempt {
    OperationRecord record;
    Json result;                            // the result object of a success
    std::optional<CommandFailure> failure;  // set when the operation failed
};

// Runs UpdateMCU for prepared (with the firmware rule) on the programmer the
// process has selected; programmer and range describe it in the record. The job
// record is copied, so prepared can be used again.
Attempt AttemptProgramming(const Reporter& out, const PreparedJob& prepared, FirmwarePolicy policy,
                           const std::optional<KorvidProgrammerInfo>& programmer,
                           std::optional<SerialRange> range);

// The human line of a successful attempt.
std::string HumanResult(const Attempt& attempt);

// Logs attempt when log is given; the failure to write the log (see AppendToLog).
std::optional<CommandFailure> LogAttempt(const ProductionLog* log, const Attempt& attempt);

}  // namespace korvid::cli
