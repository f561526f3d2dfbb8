#include "firmware_mismatch.h"

#include "access_advice.h"
#include "firmware_retry.h"
#include "korvid_ext.h"
#include "progress_events.h"
#include "terminal.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace korvid::cli {
namespace {

bool AskOnTerminal(const Reporter& out) {
    std::fprintf(stderr, "%s [y/N] ",
                 ProgrammerMessage(RC_FIRMWARE_MISMATCH, MessageTable::Update).c_str());
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return false;
    }
    out.detail("answer: " + answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

}  // namespace

uint8_t RunFirmwareUpdate(const Reporter& out) {
    out.note("Re-flashing the programmer; do not unplug it.");
    const ProgressDisplay progress(out, "update-firmware");
    return UpdateFW();
}

uint8_t WithFirmwareCheck(const Reporter& out, FirmwarePolicy policy,
                          const std::function<uint8_t()>& call) {
    bool reflashed = false;
    const auto allowed = [&]() -> bool {
        if (policy == FirmwarePolicy::Update) {
            // One re-flash per command: a programmer that still mismatches after it
            // would otherwise be re-flashed without end.
            return !reflashed;
        }
        if (policy == FirmwarePolicy::Ask) {
            if (!StdinIsTerminal()) {
                throw CommandFailure(ExitStatus::FirmwareMismatch,
                                     "Unmatched firmware version; not re-flashed (no terminal to "
                                     "ask: give --update-firmware or --no-update-firmware)",
                                     RC_FIRMWARE_MISMATCH);
            }
            return AskOnTerminal(out);
        }
        return false;
    };
    const auto reflash = [&]() -> uint8_t {
        const uint8_t flashed = RunFirmwareUpdate(out);
        reflashed = true;
        if (flashed == RC_OK) {
            out.note("Programmer re-flashed; trying again.");
        }
        return flashed;
    };
    const std::optional<uint8_t> result = core::RunWithFirmwareRetry(call, allowed, reflash);
    if (!result) {
        throw CommandFailure(ExitStatus::FirmwareMismatch,
                             reflashed ? "Unmatched firmware version, still after the re-flash"
                                       : "Unmatched firmware version; not re-flashed",
                             RC_FIRMWARE_MISMATCH);
    }
    return *result;
}

void ThrowForResult(uint8_t result, MessageTable table) {
    if (result == RC_OK) {
        return;
    }
    std::string message = ProgrammerMessage(result, table);
    ExitStatus status = ExitStatusForResult(result);
    if (result == RC_NO_DEVICE) {
        KorvidAccess access{};
        KorvidCheckAccess(&access);
        if (const std::string advice = AccessAdvice(access.cause, access.node); !advice.empty()) {
            status = ExitStatus::NotAccessible;
            message += " " + advice;
        }
    }
    throw CommandFailure(status, message, result);
}

}  // namespace korvid::cli
