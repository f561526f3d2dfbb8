// program --all / several --device: the job loaded into several programmers at
// once. The library keeps one link state per process, so each programmer gets a
// worker process of its own (this program again, with the hidden worker
// subcommand), which selects it and prints its result as JSON.
#include "commands.h"

#include "code_image.h"
#include "firmware_mismatch.h"
#include "interrupt_flag.h"
#include "production_log.h"
#include "programmer_choice.h"
#include "programmer_list.h"
#include "programming_steps.h"
#include "serial_counter.h"
#include "worker_processes.h"
#include "worker_request.h"

#include <csignal>
#include <cstdio>
#include <sstream>

namespace korvid::cli {
namespace {

// The programmers a rack command loads: every attached one, or those named.
std::vector<KorvidProgrammerInfo> RackProgrammers(const ProductionChoices& production,
                                                  std::vector<std::string>& unknown) {
    const std::vector<KorvidProgrammerInfo> list = core::ListProgrammers();
    if (production.all) {
        return list;
    }
    std::vector<KorvidProgrammerInfo> chosen;
    for (const std::string& device : production.devices) {
        const std::optional<KorvidProgrammerInfo> found = FindProgrammer(list, device);
        if (!found) {
            unknown.push_back(device);
            continue;
        }
        for (const KorvidProgrammerInfo& earlier : chosen) {
            if (std::string(earlier.location) == found->location) {
                throw CommandFailure(ExitStatus::BadSetting,
                                     "--device \"" + device + "\" names programmer " +
                                         found->location + " a second time");
            }
        }
        chosen.push_back(*found);
    }
    return chosen;
}

// A worker's result object: its last line of output, or a failure saying how it ended.
Json WorkerResult(const WorkerEnd& end, const std::string& command) {
    std::istringstream lines(end.out);
    std::string line;
    for (std::string next; std::getline(lines, next);) {
        if (!next.empty()) {
            line = next;
        }
    }
    Json result = Json::parse(line, nullptr, false);
    if (!result.is_object()) {
        result = Json{{"command", command},
                      {"ok", false},
                      {"exitStatus", end.exitStatus},
                      {"message", "the worker ended without a result (exit status " +
                                      std::to_string(end.exitStatus) + ")"}};
    }
    result["command"] = command;
    return result;
}

// Progress of several workers on one terminal line.
class RackProgress {
public:
    RackProgress(const Reporter& out, const std::vector<KorvidProgrammerInfo>& programmers)
        : json_(out.style().json && !out.style().quiet),
          terminal_(!out.style().json && out.showsProgress()),
          states_(programmers.size()) {
        for (const KorvidProgrammerInfo& info : programmers) {
            locations_.emplace_back(info.location);
        }
    }
    ~RackProgress() {
        if (drawn_) {
            std::fprintf(stderr, "\r\033[K");
        }
    }

    void line(std::size_t worker, const std::string& text) {
        const Json event = Json::parse(text, nullptr, false);
        if (event.is_object() && event.value("event", "") == "progress") {
            if (json_) {
                std::fprintf(stderr, "%s\n", text.c_str());
            } else if (terminal_) {
                const uint32_t total = event.value("total", 0u);
                states_[worker] =
                    event.value("phase", "") +
                    (total != 0
                         ? " " + std::to_string(uint64_t{event.value("done", 0u)} * 100 / total) +
                               "%"
                         : "");
                draw();
            }
            return;
        }
        if (drawn_) {
            std::fprintf(stderr, "\r\033[K");
            drawn_ = false;
        }
        std::fprintf(stderr, "%s: %s\n", locations_[worker].c_str(), text.c_str());
        std::fflush(stderr);
    }

private:
    void draw() {
        std::string text;
        for (std::size_t i = 0; i < states_.size(); ++i) {
            text += (i == 0 ? "" : " | ") + locations_[i] + " " +
                    (states_[i].empty() ? "starting" : states_[i]);
        }
        std::fprintf(stderr, "\r\033[K%s", text.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    bool json_;
    bool terminal_;
    bool drawn_ = false;
    std::vector<std::string> locations_;
    std::vector<std::string> states_;
};

}  // namespace

int RunRack(const Reporter& out, const JobChoices& choices, const StoreChoices& store,
            FirmwarePolicy policy, const ProductionChoices& production, const PreparedJob& prepared,
            const ProductionLog* log) {
    const std::string command = prepared.store ? "store" : "program";
    std::vector<std::string> unknown;
    const std::vector<KorvidProgrammerInfo> programmers = RackProgrammers(production, unknown);
    if (programmers.empty()) {
        ThrowForResult(RC_NO_DEVICE, MessageTable::Update);
    }
    if (policy == FirmwarePolicy::Ask) {
        out.note(
            "Several programmers: one with other firmware is not re-flashed, as with "
            "--no-update-firmware (give --update-firmware to re-flash it).");
        policy = FirmwarePolicy::Refuse;
    }
    // Serial ranges are handed out before any programmer is touched.
    std::vector<std::optional<SerialRange>> ranges(programmers.size());
    if (prepared.serialNumbers() && prepared.store) {
        const uint32_t count = prepared.job.record.maxCount;
        uint32_t start = prepared.job.record.serialNumber;
        // A count of 0 (overlapping ranges) is refused before the counter moves.
        SplitSerialRanges(0, count, programmers.size());
        if (production.serialCounter) {
            start = ReserveSerialNumbers(*production.serialCounter, start,
                                         uint64_t{count} * programmers.size());
        }
        const std::vector<SerialRange> split = SplitSerialRanges(start, count, programmers.size());
        for (std::size_t i = 0; i < split.size(); ++i) {
            ranges[i] = split[i];
        }
    }
    std::vector<std::vector<std::string>> workers;
    for (std::size_t i = 0; i < programmers.size(); ++i) {
        WorkerRequest request{choices,
                              store,
                              policy,
                              programmers[i].location,
                              prepared.job.record.codeLength,
                              Hex(korvid::core::ImageChecksum(prepared.job.image), 4)};
        if (ranges[i]) {
            request.store.serial.serialNumber = ranges[i]->first;
        }
        std::vector<std::string> argv{SelfExecutable(), "--json"};
        // A quiet command keeps its workers' notes and progress quiet too; their
        // JSON results still come.
        if (out.style().quiet) {
            argv.push_back("--quiet");
        }
        // Each worker traces to a file of its own, so that every trace is one
        // process's traffic and replays on its own.
        if (production.trace) {
            argv.insert(argv.end(), {"--trace", *production.trace + "." + programmers[i].location});
        }
        argv.insert(argv.end(), {"worker", JsonLine(WorkerRequestJson(request))});
        workers.push_back(std::move(argv));
    }
    std::vector<WorkerEnd> ends;
    {
        const InterruptFlag flag;
        RackProgress progress(out, programmers);
        ends = RunWorkers(workers, [&progress](std::size_t worker, const std::string& line) {
            progress.line(worker, line);
        });
        if (InterruptFlag::Interrupted()) {
            out.note("Interrupted: every programmer being loaded was finished first.");
        }
    }

    std::vector<std::string> failed = unknown;
    // A log that cannot be written ends nothing here: every result and range is
    // still reported, and the command then fails with the log's failure.
    std::optional<CommandFailure> logFailure;
    for (const std::string& device : unknown) {
        const std::string message =
            "no programmer found with location or serial \"" + device + "\"";
        out.result(Json{{"command", command},
                        {"ok", false},
                        {"exitStatus", static_cast<int>(ExitStatus::NoDevice)},
                        {"resultCode", RC_NO_DEVICE},
                        {"message", message},
                        {"device", device}},
                   "");
        if (!out.style().json) {
            std::fprintf(stderr, "korvid %s: %s\n", command.c_str(), message.c_str());
        }
    }
    for (std::size_t i = 0; i < programmers.size(); ++i) {
        Json result = WorkerResult(ends[i], command);
        const bool ok = result.value("ok", false) && ends[i].exitStatus == 0;
        result.update(ProgrammerFields(programmers[i]));
        OperationRecord record;
        record.operation = command;
        record.programmer = ProgrammerFields(programmers[i]);
        record.job = JobFields(prepared);
        record.job.update(CountFields(prepared));
        if (ranges[i]) {
            record.job["serialNumber"] = Hex(ranges[i]->first, 8);
            result["serialRange"] =
                Json{{"first", Hex(ranges[i]->first, 8)}, {"last", Hex(ranges[i]->last(), 8)}};
            result["serialRangeLost"] = !ok;
        }
        record.serialRange = ranges[i];
        record.ok = ok;
        if (result.contains("resultCode") && result["resultCode"].is_number()) {
            record.resultCode = result["resultCode"].get<uint8_t>();
        }
        record.message = result.value("message", "");
        record.seconds = ends[i].seconds;
        if (auto failure = AppendToLog(log, LogEntry(record)); failure && !logFailure) {
            logFailure = std::move(failure);
        }
        std::string human = std::string(programmers[i].location) + ": " + record.message;
        if (ranges[i]) {
            human += ok ? " Serial numbers " + RangeText(*ranges[i])
                        : " Serial numbers " + RangeText(*ranges[i]) + " are lost (never used)";
        }
        if (!ok) {
            failed.emplace_back(programmers[i].location);
            if (!out.style().json) {
                std::fprintf(stderr, "korvid %s: %s\n", command.c_str(), human.c_str());
                continue;
            }
        }
        out.result(result, human);
    }
    const std::size_t total = programmers.size() + unknown.size();
    if (failed.empty()) {
        if (!out.style().json && !out.style().quiet) {
            std::printf("%zu programmers, all succeeded\n", total);
        }
    } else if (!out.style().json) {
        std::string names;
        for (const std::string& name : failed) {
            names += (names.empty() ? "" : ", ") + name;
        }
        std::fprintf(stderr, "korvid %s: %zu of %zu programmers failed: %s\n", command.c_str(),
                     failed.size(), total, names.c_str());
    }
    if (logFailure) {
        throw *logFailure;
    }
    return static_cast<int>(failed.empty() ? ExitStatus::Ok : ExitStatus::SomeFailed);
}

int RunWorker(const Reporter& out, const std::string& text) {
    // Ctrl+C on a terminal reaches the whole process group: a worker finishes the
    // programmer it loads (stopping mid-transfer could leave it half re-flashed),
    // and the command that started it says so.
    std::signal(SIGINT, SIG_IGN);
    const WorkerRequest request = ParseWorkerRequest(text);
    const PreparedJob prepared = PrepareJob(request.job, request.store);
    if (prepared.job.record.codeLength != request.codeLength ||
        Hex(korvid::core::ImageChecksum(prepared.job.image), 4) != request.checksum) {
        throw CommandFailure(ExitStatus::FileError,
                             "\"" + request.job.file + "\" changed while the command ran");
    }
    const std::optional<KorvidProgrammerInfo> programmer = ChooseProgrammer(request.location);
    std::optional<SerialRange> range;
    if (prepared.serialNumbers() && prepared.store) {
        range = SerialRange{prepared.job.record.serialNumber, prepared.job.record.maxCount};
    }
    const Attempt attempt = AttemptProgramming(out, prepared, request.policy, programmer, range);
    if (attempt.failure) {
        throw *attempt.failure;
    }
    out.result(attempt.result, HumanResult(attempt));
    return 0;
}

}  // namespace korvid::cli
