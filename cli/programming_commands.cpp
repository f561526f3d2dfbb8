// program, dump and update-firmware: the commands that talk to the programmer.
#include "commands.h"

#include "file_replace.h"
#include "firmware_mismatch.h"
#include "programmer_choice.h"
#include "programming_steps.h"
#include "progress_events.h"
#include "serial_counter.h"

#include <chrono>
#include <cstdio>

namespace korvid::cli {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Logs an operation without a job (dump, update-firmware) and rethrows its failure
// (a failure to write the log is then only noted). After a success, the failure to
// write the log, which the command reports after its result.
template <typename Operation>
std::optional<CommandFailure> RunLogged(const Reporter& out, const ProductionLog* log,
                                        const std::string& name,
                                        const std::optional<KorvidProgrammerInfo>& programmer,
                                        Operation operation) {
    const auto start = std::chrono::steady_clock::now();
    Attempt attempt;
    OperationRecord& record = attempt.record;
    record.operation = name;
    record.programmer = ProgrammerFields(programmer);
    record.job = Json::object();
    try {
        record.message = operation();
        record.ok = true;
        record.resultCode = RC_OK;
    } catch (const CommandFailure& failure) {
        record.resultCode = failure.result();
        record.message = failure.what();
        record.seconds = SecondsSince(start);
        if (const auto logFailure = LogAttempt(log, attempt)) {
            out.note(logFailure->what());
        }
        throw;
    }
    record.seconds = SecondsSince(start);
    return LogAttempt(log, attempt);
}

}  // namespace

Attempt AttemptProgramming(const Reporter& out, const PreparedJob& prepared, FirmwarePolicy policy,
                           const std::optional<KorvidProgrammerInfo>& programmer,
                           std::optional<SerialRange> range) {
    const std::string operation = prepared.store ? "store" : "program";
    const auto start = std::chrono::steady_clock::now();
    Attempt attempt;
    attempt.record.operation = operation;
    attempt.record.programmer = ProgrammerFields(programmer);
    attempt.record.job = JobFields(prepared);
    attempt.record.job.update(CountFields(prepared));
    attempt.record.serialRange = range;
    JobRecord record = prepared.job.record;
    try {
        const uint8_t result = WithFirmwareCheck(out, policy, [&] {
            const ProgressDisplay progress(out, operation,
                                           programmer ? programmer->location : std::string());
            return UpdateMCU(&record, prepared.job.icpFlag, prepared.store ? 0 : 1);
        });
        ThrowForResult(result, MessageTable::Update);
    } catch (const CommandFailure& failure) {
        attempt.failure = failure;
        attempt.record.resultCode = failure.result();
        attempt.record.message = failure.what();
        attempt.record.seconds = SecondsSince(start);
        return attempt;
    }
    attempt.record.ok = true;
    attempt.record.resultCode = RC_OK;
    attempt.record.message = ProgrammerMessage(RC_OK, MessageTable::Update);
    attempt.record.seconds = SecondsSince(start);
    attempt.result = Json{{"command", operation},
                          {"ok", true},
                          {"exitStatus", 0},
                          {"resultCode", 0},
                          {"message", attempt.record.message}};
    if (programmer) {
        attempt.result.update(attempt.record.programmer);
    }
    attempt.result.update(attempt.record.job);
    if (prepared.serialNumbers()) {
        attempt.result["nextSerialAddress"] = Hex(record.serialAddress, 8);
    }
    return attempt;
}

std::string HumanResult(const Attempt& attempt) {
    const Json& job = attempt.record.job;
    std::string human = attempt.record.message;
    if (attempt.record.operation == "store") {
        human += " Job stored: max count " + std::to_string(job["maxCount"].get<int>());
    }
    if (job.value("serialNumbers", false)) {
        human += std::string(attempt.record.operation == "store" ? "," : "") + " serial number " +
                 (attempt.record.serialRange && attempt.record.operation == "store"
                      ? RangeText(*attempt.record.serialRange)
                      : job["serialNumber"].get<std::string>()) +
                 " at " + job["serialAddress"].get<std::string>();
    }
    return human;
}

std::optional<CommandFailure> LogAttempt(const ProductionLog* log, const Attempt& attempt) {
    return AppendToLog(log, LogEntry(attempt.record));
}

int RunProgram(const Reporter& out, const JobChoices& choices, const StoreChoices& store,
               FirmwarePolicy policy, const ProductionChoices& production) {
    PreparedJob prepared = PrepareJob(choices, store);
    out.detail("part " + std::string(prepared.part->name) + ", image " +
               Hex(prepared.job.record.codeLength, 0) + " bytes" +
               (prepared.job.truncated ? " (truncated)" : ""));
    std::optional<ProductionLog> log;
    if (production.log) {
        log.emplace(*production.log);
    }
    if (production.repeat) {
        return RunRepeat(out, prepared, policy, production, log ? &*log : nullptr);
    }
    if (production.all || production.devices.size() > 1) {
        return RunRack(out, choices, store, policy, production, prepared, log ? &*log : nullptr);
    }
    const std::optional<KorvidProgrammerInfo> programmer = ChooseProgrammer(
        production.devices.empty() ? std::nullopt : std::optional(production.devices.front()));
    std::optional<SerialRange> range;
    if (prepared.serialNumbers() && prepared.store) {
        const uint32_t count = prepared.job.record.maxCount;
        if (production.serialCounter && count == 0) {
            throw CommandFailure(ExitStatus::BadSetting,
                                 "a serial counter needs a --max-count of at least 1");
        }
        const uint32_t first = production.serialCounter
                                   ? ReserveSerialNumbers(*production.serialCounter,
                                                          prepared.job.record.serialNumber, count)
                                   : prepared.job.record.serialNumber;
        prepared.job.record.serialNumber = first;
        if (count > 0) {
            range = SerialRange{first, count};
        }
    }
    const Attempt attempt = AttemptProgramming(out, prepared, policy, programmer, range);
    const std::optional<CommandFailure> logFailure = LogAttempt(log ? &*log : nullptr, attempt);
    if (attempt.failure) {
        if (logFailure) {
            out.note(logFailure->what());
        }
        throw *attempt.failure;
    }
    out.result(attempt.result, HumanResult(attempt));
    if (logFailure) {
        throw *logFailure;
    }
    return 0;
}

int RunDump(const Reporter& out, const std::optional<std::string>& outputFile,
            FirmwarePolicy policy, const std::optional<std::string>& device,
            const std::optional<std::string>& logFile) {
    std::optional<ProductionLog> log;
    if (logFile) {
        log.emplace(*logFile);
    }
    const std::optional<KorvidProgrammerInfo> programmer = ChooseProgrammer(device);
    std::vector<uint8_t> information(256);
    const std::optional<CommandFailure> logFailure =
        RunLogged(out, log ? &*log : nullptr, "dump", programmer, [&] {
            const uint8_t result = WithFirmwareCheck(out, policy, [&] {
                const ProgressDisplay progress(out, "dump");
                return DumpMCUInfo(information.data());
            });
            ThrowForResult(result, MessageTable::Dump);
            return ProgrammerMessage(RC_OK, MessageTable::Dump);
        });
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
    if (programmer) {
        object.update(ProgrammerFields(programmer));
    }
    if (outputFile) {
        ReplaceFile(*outputFile, information, Durability::Fast);
        object["file"] = *outputFile;
        out.result(object,
                   ProgrammerMessage(RC_OK, MessageTable::Dump) + " Written to " + *outputFile);
        if (logFailure) {
            throw *logFailure;
        }
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
    if (logFailure) {
        throw *logFailure;
    }
    return 0;
}

int RunUpdateFirmware(const Reporter& out, const std::optional<std::string>& device,
                      const std::optional<std::string>& logFile) {
    std::optional<ProductionLog> log;
    if (logFile) {
        log.emplace(*logFile);
    }
    const std::optional<KorvidProgrammerInfo> programmer = ChooseProgrammer(device);
    const std::optional<CommandFailure> logFailure =
        RunLogged(out, log ? &*log : nullptr, "update-firmware", programmer, [&] {
            ThrowForResult(RunFirmwareUpdate(out), MessageTable::Update);
            return ProgrammerMessage(RC_OK, MessageTable::Update);
        });
    Json object{{"command", "update-firmware"},
                {"ok", true},
                {"exitStatus", 0},
                {"resultCode", 0},
                {"message", ProgrammerMessage(RC_OK, MessageTable::Update)}};
    if (programmer) {
        object.update(ProgrammerFields(programmer));
    }
    out.result(object, ProgrammerMessage(RC_OK, MessageTable::Update));
    if (logFailure) {
        throw *logFailure;
    }
    return 0;
}

}  // namespace korvid::cli
