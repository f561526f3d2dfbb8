// The subcommands of korvid. Each returns its exit status or throws a
// CommandFailure, which main reports.
#pragma once

#include "job_preparation.h"
#include "report.h"

#include <optional>
#include <string>
#include <vector>

namespace korvid::cli {

class ProductionLog;

// What to do when the programmer's firmware does not match.
enum class FirmwarePolicy { Ask, Update, Refuse };

// Production-line choices of program.
struct ProductionChoices {
    std::vector<std::string> devices;  // --device, repeatable: locations or USB serials
    bool all = false;                  // --all: every attached programmer
    std::optional<std::string> serialCounter;
    std::optional<std::string> log;
    bool repeat = false;               // program targets one after another, Enter between them
    std::optional<std::string> trace;  // the global --trace, handed on to workers
};

int RunParts(const Reporter& out, const std::optional<std::string>& series);
int RunDetect(const Reporter& out, const std::optional<std::string>& device);
int RunProgram(const Reporter& out, const JobChoices& job, const StoreChoices& store,
               FirmwarePolicy policy, const ProductionChoices& production);
int RunDump(const Reporter& out, const std::optional<std::string>& outputFile,
            FirmwarePolicy policy, const std::optional<std::string>& device,
            const std::optional<std::string>& log);
int RunUpdateFirmware(const Reporter& out, const std::optional<std::string>& device,
                      const std::optional<std::string>& log);
int RunKpjSave(const Reporter& out, const JobChoices& job, const std::string& outputFile);
int RunKpjShow(const Reporter& out, const std::string& file);
int RunConvert(const Reporter& out, const std::string& input, const std::string& output);

// The job loaded into several programmers at once, one worker process each.
int RunRack(const Reporter& out, const JobChoices& choices, const StoreChoices& store,
            FirmwarePolicy policy, const ProductionChoices& production, const PreparedJob& prepared,
            const ProductionLog* log);
// Targets programmed one after another from this computer.
int RunRepeat(const Reporter& out, PreparedJob& prepared, FirmwarePolicy policy,
              const ProductionChoices& production, const ProductionLog* log);
// The hidden worker subcommand: one programmer of a rack, described by request
// (a JSON object, see worker_request.h).
int RunWorker(const Reporter& out, const std::string& request);

}  // namespace korvid::cli
