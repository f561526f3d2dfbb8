// korvid: scripted and production programming through libkorvid.
#include "commands.h"
#include "cp936_text.h"
#include "korvid_ext.h"
#include "part_lookup.h"
#include "process_start.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>

namespace {

using namespace korvid::cli;
using korvid::core::CodeFormat;

void AddJobOptions(CLI::App& command, JobChoices& job) {
    command
        .add_option("FILE", job.file,
                    "Intel HEX (.hex, .ihx, .ihex), binary or KPJ project (.kpj) file")
        ->required();
    command
        .add_option_function<std::string>(
            "--format",
            [&job](const std::string& name) {
                job.format = name == "hex"   ? CodeFormat::IntelHex
                             : name == "bin" ? CodeFormat::Binary
                                             : CodeFormat::Project;
            },
            "read FILE as Intel HEX, raw bytes or a project whatever its extension; bin also "
            "takes Intel HEX text as its bytes")
        ->transform(CLI::IsMember({"hex", "bin", "kpj"}, CLI::ignore_case));
    command.add_option("--part,-p", job.part,
                       "part name, e.g. \"Part A1\" (from the project for a .kpj)");
    command.add_option("--option", job.options,
                       "hardware option to switch on, by name (repeatable)");
    command.add_flag_callback(
        "--data", [&job] { job.area = LoadArea::Data; },
        "load into the IAP (data) area instead of AP (code) at 0");
    command
        .add_option_function<std::string>(
            "--address",
            [&job](const std::string& text) {
                job.address = static_cast<uint32_t>(std::stoul(text, nullptr, 16));
                job.area = LoadArea::Data;
            },
            "IAP (data) area start, hexadecimal (default: the part's IAP start); implies --data")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                try {
                    std::size_t used = 0;
                    const unsigned long value = std::stoul(text, &used, 16);
                    return used == text.size() && value <= 0xFFFFFFFFul
                               ? ""
                               : "not a hexadecimal address";
                } catch (const std::exception&) {
                    return "not a hexadecimal address";
                }
            },
            "HEX"));
    command.add_flag("--truncate", job.truncate,
                     "cut an image longer than the part's flash instead of failing");
    command.add_option("--hwwidl", job.hwwidl,
                       "HWWIDL field (decimal, parts with hardware settings)");
    command.add_option("--hwps", job.hwps, "HWPS field (decimal, parts with hardware settings)");
}

void AddFirmwareOptions(CLI::App& command, FirmwarePolicy& policy) {
    auto* update = command.add_flag_callback(
        "--update-firmware", [&policy] { policy = FirmwarePolicy::Update; },
        "re-flash a programmer with mismatching firmware without asking");
    auto* refuse = command.add_flag_callback(
        "--no-update-firmware", [&policy] { policy = FirmwarePolicy::Refuse; },
        "never re-flash; fail on mismatching firmware");
    update->excludes(refuse);
}

void AddDeviceOption(CLI::App& command, std::optional<std::string>& device) {
    command.add_option("--device", device,
                       "the programmer to use, by USB location (e.g. 1-2.3) or USB serial");
}

// An option that takes one value, given before the subcommand (leading) or after
// it (own): at most one value in all, which ends up in own.
void JoinSingle(const std::string& name, const std::vector<std::string>& leading,
                std::optional<std::string>& own) {
    const std::size_t given = leading.size() + (own ? 1 : 0);
    if (given > 1) {
        throw CLI::ValidationError(name,
                                   "At Most 1 required but received " + std::to_string(given));
    }
    if (!leading.empty()) {
        own = leading.front();
    }
}

// The tool's version and the library's name and version.
std::string VersionText() {
    char name[KORVID_DISPLAY_NAME_SIZE] = {};
    uint16_t version = 0;
    GetAPInfo(name, &version);
    char text[64];
    std::snprintf(text, sizeof text, "%X.%02X", version >> 8, version & 0xFFu);
    return "korvid " KORVID_VERSION "\nlibkorvid: " +
           korvid::core::Cp936FieldToUtf8(name, sizeof name) + ", version " + text;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = StartProcess(); status != 0) {
        return status;
    }
    CLI::App app{"korvid: program 8051-family targets through the USB programmer.", "korvid"};
    app.footer(
        std::string(kPlatformNote) + (*kPlatformNote != '\0' ? "\n" : "") +
        "Without hardware:\n"
        "  KORVID_SIMULATE=LIST  built-in simulated programmers instead of USB, a\n"
        "                        comma-separated list (e.g. hid,pipe,hid) of:\n"
        "                          hid           the HID programmer\n"
        "                          hid-old       the HID programmer with outdated firmware\n"
        "                          hid-update    the HID programmer waiting in firmware-update\n"
        "                                        mode, as a re-flash cut short leaves it\n"
        "                          pipe          the older bulk-pipe programmer\n"
        "                          pipe-old      the older programmer with outdated firmware\n"
        "                          pipe-boot     the older programmer waiting in its boot mode\n"
        "                          hid-refuse    takes every job and answers failure (224)\n"
        "                          hid-stuck     answers \"still working\" forever (240 after\n"
        "                                        10 minutes)\n"
        "                          hid-noaccess  listed, but its device node may not be opened\n"
        "                        the N-th sits at location 0-N; serials SIM0001, SIM0002, ...\n"
        "  KORVID_SIMULATE_CLOCK=virtual\n"
        "                        their pauses pass at once (a re-flash or the 10 minutes\n"
        "                        take milliseconds)");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", VersionText);
    std::optional<std::string> trace;
    app.add_option("--trace", trace, "record the wire traffic to this file (appended)");
    OutputStyle style;
    app.add_flag("--json", style.json, "one JSON object per result on stdout");
    auto* quiet = app.add_flag("--quiet,-q", style.quiet, "print only failures");
    app.add_flag("--verbose,-v", style.verbose, "print details on stderr")->excludes(quiet);
    // The programmer choice and the log may stand before the command too, as
    // --trace does, and then mean what they mean after it.
    std::vector<std::string> leadingDevices;
    app.add_option("--device", leadingDevices,
                   "as after the command: the programmer to use (detect, program, dump, "
                   "update-firmware)")
        ->allow_extra_args(false);
    std::vector<std::string> leadingLogs;
    app.add_option("--log", leadingLogs,
                   "as after the command: the log to append to (program, dump, update-firmware)")
        ->allow_extra_args(false);
    app.parse_complete_callback([&] {
        for (const CLI::App* command : app.get_subcommands()) {
            for (const char* name : {"--device", "--log"}) {
                if (app.count(name) > 0 && command->get_option_no_throw(name) == nullptr) {
                    throw CLI::ValidationError(name, "does not apply to " + command->get_name());
                }
            }
        }
    });

    std::function<int(const Reporter&)> run;
    std::string commandName;

    std::optional<std::string> series;
    auto* parts = app.add_subcommand("parts", "list the part catalogue");
    parts->add_option("--series", series, "only parts of this series, e.g. \"Series B\"");
    parts->callback([&] {
        commandName = "parts";
        run = [&](const Reporter& out) { return RunParts(out, series); };
    });

    std::optional<std::string> device;
    auto* detect = app.add_subcommand(
        "detect", "list the attached programmers and whether each is accessible");
    AddDeviceOption(*detect, device);
    detect->callback([&] {
        JoinSingle("--device", leadingDevices, device);
        commandName = "detect";
        run = [&](const Reporter& out) { return RunDetect(out, device); };
    });

    JobChoices job;
    StoreChoices store;
    FirmwarePolicy policy = FirmwarePolicy::Ask;
    auto* program =
        app.add_subcommand("program", "program the target (or store the job with --store)");
    AddJobOptions(*program, job);
    AddFirmwareOptions(*program, policy);
    ProductionChoices production;
    auto* storeFlag =
        program->add_flag("--store", store.store, "download the job into the programmer instead");
    auto* devices = program->add_option(
        "--device", production.devices,
        "the programmer to use, by USB location or USB serial (repeatable: several at once)");
    devices->allow_extra_args(false);
    auto* all = program->add_flag("--all", production.all,
                                  "use every attached programmer at once (with --store)");
    all->excludes(devices)->needs(storeFlag);
    auto* counter = program->add_option(
        "--serial-counter", production.serialCounter,
        "file keeping the next free serial number across runs (created from --serial-number)");
    program->add_option("--log", production.log,
                        "append one JSON line per programmer operation to this file");
    auto* repeat = program->add_flag(
        "--repeat", production.repeat,
        "program targets one after another: Enter for the next, q and Enter to stop");
    repeat->excludes(storeFlag);
    auto* maxCount = program->add_option("--max-count", store.serial.maxCount,
                                         "targets the stored job may program (0 to 65530)");
    program->add_option("--serial-text", store.serial.serialText,
                        "serial block text, at most 12 characters");
    auto* number = program->add_option_function<std::string>(
        "--serial-number",
        [&store](const std::string& t) {
            store.serial.serialNumber = static_cast<uint32_t>(std::stoul(t, nullptr, 16));
        },
        "first serial number, hexadecimal");
    number->check(CLI::Validator(
        [](std::string& t) -> std::string {
            try {
                std::size_t used = 0;
                const unsigned long v = std::stoul(t, &used, 16);
                return used == t.size() && v <= 0xFFFFFFFFul ? "" : "not a hexadecimal number";
            } catch (const std::exception&) {
                return "not a hexadecimal number";
            }
        },
        "HEX"));
    auto* address = program->add_option_function<std::string>(
        "--serial-address",
        [&store](const std::string& t) {
            const unsigned long long v = std::stoull(t, nullptr, 16);
            store.serial.serialAddress = v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
            store.serialAddressGiven = true;
        },
        "serial block start, hexadecimal (default: the part's flash size - 16)");
    address->check(CLI::Validator(
        [](std::string& t) -> std::string {
            try {
                std::size_t used = 0;
                std::stoull(t, &used, 16);
                return used == t.size() ? "" : "not a hexadecimal address";
            } catch (const std::exception&) {
                return "not a hexadecimal address";
            }
        },
        "HEX"));
    program->add_flag("--auto-increment", store.serial.autoIncrement,
                      "count the serial number up per target");
    maxCount->needs(storeFlag);
    program->callback([&] {
        if (production.all && !leadingDevices.empty()) {
            throw CLI::ValidationError("--all excludes --device");
        }
        production.devices.insert(production.devices.begin(), leadingDevices.begin(),
                                  leadingDevices.end());
        JoinSingle("--log", leadingLogs, production.log);
        store.serial.serialEnabled = program->count("--serial-text") +
                                         program->count("--serial-number") +
                                         program->count("--serial-address") +
                                         program->count("--auto-increment") + counter->count() >
                                     0;
        if (store.serial.serialEnabled && !store.store && !production.repeat) {
            throw CLI::ValidationError("serial number settings need --store or --repeat");
        }
        if (production.repeat && production.devices.size() > 1) {
            throw CLI::ValidationError(
                "--repeat programs through one programmer: give at most "
                "one --device");
        }
        // Numbers handed out in ranges (a counter, several programmers) count up
        // within each range.
        if (store.store && store.serial.serialEnabled &&
            (production.serialCounter || production.all || production.devices.size() > 1)) {
            store.serial.autoIncrement = true;
        }
        production.trace = trace;
        commandName = store.store ? "store" : "program";
        run = [&](const Reporter& out) { return RunProgram(out, job, store, policy, production); };
    });

    std::optional<std::string> dumpFile;
    auto* dump = app.add_subcommand("dump", "read the 256 bytes of target information");
    dump->add_option("--output,-o", dumpFile, "write the raw bytes to this file");
    AddFirmwareOptions(*dump, policy);
    AddDeviceOption(*dump, device);
    std::optional<std::string> logFile;
    dump->add_option("--log", logFile, "append one JSON line for the operation to this file");
    dump->callback([&] {
        JoinSingle("--device", leadingDevices, device);
        JoinSingle("--log", leadingLogs, logFile);
        commandName = "dump";
        run = [&](const Reporter& out) { return RunDump(out, dumpFile, policy, device, logFile); };
    });

    auto* firmware = app.add_subcommand(
        "update-firmware", "re-flash the programmer with the firmware the library carries");
    AddDeviceOption(*firmware, device);
    firmware->add_option("--log", logFile, "append one JSON line for the operation to this file");
    firmware->callback([&] {
        JoinSingle("--device", leadingDevices, device);
        JoinSingle("--log", leadingLogs, logFile);
        commandName = "update-firmware";
        run = [&](const Reporter& out) { return RunUpdateFirmware(out, device, logFile); };
    });

    // One programmer of a rack: started by program --all / several --device.
    std::string workerRequest;
    auto* worker = app.add_subcommand("worker", "")->group("");
    worker->add_option("REQUEST", workerRequest)->required();
    worker->callback([&] {
        commandName = "worker";
        run = [&](const Reporter& out) { return RunWorker(out, workerRequest); };
    });

    auto* kpj = app.add_subcommand("kpj", "save or show KPJ project files");
    kpj->require_subcommand(1);
    std::string kpjOut;
    JobChoices saveJob;
    auto* save =
        kpj->add_subcommand("save", "save a code file with its part and options as a project");
    AddJobOptions(*save, saveJob);
    save->add_option("--output,-o", kpjOut, "project file to write")->required();
    save->callback([&] {
        commandName = "kpj save";
        run = [&](const Reporter& out) { return RunKpjSave(out, saveJob, kpjOut); };
    });
    std::string showFile;
    auto* show = kpj->add_subcommand(
        "show", "check a project with the library's reader and show its footer");
    show->add_option("FILE", showFile, "project file")->required();
    show->callback([&] {
        commandName = "kpj show";
        run = [&](const Reporter& out) { return RunKpjShow(out, showFile); };
    });

    std::string convertIn;
    std::string convertOut;
    auto* convert =
        app.add_subcommand("convert", "convert an Intel HEX file to a binary image as Load does");
    convert->add_option("IN", convertIn, "Intel HEX file, whatever its extension")->required();
    convert->add_option("OUT", convertOut, "binary image to write (not touched when IN is refused)")
        ->required();
    convert->callback([&] {
        commandName = "convert";
        run = [&](const Reporter& out) { return RunConvert(out, convertIn, convertOut); };
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return static_cast<int>(ExitStatus::Usage);
    }
    const Reporter out(style);
    if (trace && KorvidStartTrace(trace->c_str()) != RC_OK) {
        return out.failure(
            commandName,
            CommandFailure(ExitStatus::FileError, "cannot open the trace file \"" + *trace + "\"",
                           RC_FILE_OPEN));
    }
    try {
        return run(out);
    } catch (const CommandFailure& failure) {
        return out.failure(commandName, failure);
    }
}
