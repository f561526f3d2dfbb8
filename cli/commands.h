// The subcommands of korvid. Each returns its exit status or throws a
// CommandFailure, which main reports.
#pragma once

#include "job_input.h"
#include "report.h"
#include "serial_settings.h"

#include <optional>
#include <string>

namespace korvid::cli {

// What to do when the programmer's firmware does not match.
enum class FirmwarePolicy { Ask, Update, Refuse };

struct StoreChoices {
    bool store = false;
    korvid::core::SerialSettings serial;
    bool serialAddressGiven = false;
};

int RunParts(const Reporter& out, const std::optional<std::string>& series);
int RunDetect(const Reporter& out);
int RunProgram(const Reporter& out, const JobChoices& job, const StoreChoices& store,
               FirmwarePolicy policy);
int RunDump(const Reporter& out, const std::optional<std::string>& outputFile,
            FirmwarePolicy policy);
int RunUpdateFirmware(const Reporter& out);
int RunKpjSave(const Reporter& out, const JobChoices& job, const std::string& outputFile);
int RunKpjShow(const Reporter& out, const std::string& file);
int RunConvert(const Reporter& out, const std::string& input, const std::string& output);

}  // namespace korvid::cli
