// program --repeat: targets programmed one after another from this computer,
// PASS or FAIL with the running totals after each, Enter between them.
#include "commands.h"

#include "enter_wait.h"
#include "interrupt_flag.h"
#include "production_log.h"
#include "programmer_choice.h"
#include "programming_steps.h"
#include "serial_counter.h"

#include <cstdio>

namespace korvid::cli {
namespace {

std::string Totals(unsigned passed, unsigned failed) {
    return std::to_string(passed) + " passed, " + std::to_string(failed) + " failed";
}

}  // namespace

int RunRepeat(const Reporter& out, PreparedJob& prepared, FirmwarePolicy policy,
              const ProductionChoices& production, const ProductionLog* log) {
    const std::optional<KorvidProgrammerInfo> programmer = ChooseProgrammer(
        production.devices.empty() ? std::nullopt : std::optional(production.devices.front()));
    const InterruptFlag flag;
    const uint32_t start = prepared.job.record.serialNumber;
    unsigned passed = 0;
    unsigned failed = 0;
    std::optional<CommandFailure> logFailure;
    for (unsigned unit = 1;; ++unit) {
        std::optional<SerialRange> range;
        if (prepared.serialNumbers()) {
            // Without a counter the numbers follow start; the unit whose number would
            // pass the last one is refused, as the counter file refuses it, so that
            // no number wraps to 0 and repeats.
            if (!production.serialCounter && !SerialNumbersFit(start, unit)) {
                throw CommandFailure(ExitStatus::BadSetting,
                                     "the serial numbers from " + Hex(start, 8) + " have no " +
                                         "number left for unit " + std::to_string(unit));
            }
            const uint32_t number = production.serialCounter
                                        ? ReserveSerialNumbers(*production.serialCounter, start, 1)
                                        : start + (unit - 1);
            prepared.job.record.serialNumber = number;
            range = SerialRange{number, 1};
        }
        const Attempt attempt = AttemptProgramming(out, prepared, policy, programmer, range);
        logFailure = LogAttempt(log, attempt);
        (attempt.failure ? failed : passed) += 1;
        Json object =
            attempt.failure
                ? Json{{"command", "program"},
                       {"ok", false},
                       {"exitStatus", static_cast<int>(attempt.failure->status())},
                       {"resultCode", attempt.record.resultCode ? Json(*attempt.record.resultCode)
                                                                : Json(nullptr)},
                       {"message", attempt.record.message}}
                : attempt.result;
        object["unit"] = unit;
        object["passed"] = passed;
        object["failed"] = failed;
        std::string human = (attempt.failure ? "FAIL unit " : "PASS unit ") + std::to_string(unit) +
                            ": " + attempt.record.message;
        if (range) {
            human += " (serial number " + Hex(range->first, 8) + ")";
        }
        out.result(object, human + "  [" + Totals(passed, failed) + "]");
        if (logFailure) {
            break;  // no unit is programmed that the log would not record
        }
        if (InterruptFlag::Interrupted()) {
            out.note("Interrupted: stopped after unit " + std::to_string(unit) + ".");
            break;
        }
        if (!out.style().json) {
            std::fprintf(stderr, "Enter: next target; q and Enter: stop > ");
            std::fflush(stderr);
        }
        const Answer answer = WaitForEnter();
        if (answer == Answer::Interrupted) {
            out.note("\nInterrupted between units.");
        }
        if (answer != Answer::Next) {
            break;
        }
    }
    out.result(Json{{"command", "program"},
                    {"ok", failed == 0},
                    {"exitStatus",
                     static_cast<int>(failed == 0 ? ExitStatus::Ok : ExitStatus::SomeFailed)},
                    {"units", passed + failed},
                    {"passed", passed},
                    {"failed", failed}},
               "Totals: " + Totals(passed, failed));
    if (logFailure) {
        throw *logFailure;
    }
    return static_cast<int>(failed == 0 ? ExitStatus::Ok : ExitStatus::SomeFailed);
}

}  // namespace korvid::cli
