// The library's progress events, shown while an operation runs: a line redrawn
// on a terminal, or JSON lines on stderr with --json (at most about ten a second,
// always the first and the last of each phase; progress_throttle.h). Nothing is
// shown when stderr is no terminal (without --json) or with --quiet.
#pragma once

#include "korvid_ext.h"
#include "progress_throttle.h"
#include "report.h"

#include <string>

namespace korvid::cli {

// The name of a progress phase, e.g. "sending image".
std::string PhaseName(uint32_t phase);

// The JSON object of one event: event, operation, phase, done, total and, when
// not empty, location.
Json ProgressEventJson(const KorvidProgress& progress, const std::string& operation,
                       const std::string& location);

// Receives the library's progress events while it lives. operation names the
// command in the events ("program", "store", "dump", "update-firmware").
class ProgressDisplay {
public:
    ProgressDisplay(const Reporter& out, std::string operation, std::string location = {});
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

private:
    static void Receive(const KorvidProgress* progress, void* context);
    void PrintJson(const KorvidProgress& progress) const;

    std::string operation_;
    std::string location_;
    bool json_ = false;
    bool terminal_ = false;
    bool drawn_ = false;
    ProgressThrottle throttle_;
};

}  // namespace korvid::cli
