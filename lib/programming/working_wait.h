// The programmer's "still working" answers after a programming job: each one is
// reported as progress, and the wait as a whole ends after
// KORVID_WORKING_WAIT_LIMIT_MS on the platform clock, so a programmer stuck in its
// working state cannot hold the caller forever.
#pragma once

#include <cstdint>

#include "programming/progress.h"

namespace korvid::programming {

class WorkingWait {
public:
    // The wait starts now.
    explicit WorkingWait(const Progress& progress);

    // Called for each "still working" answer: reports how long the wait has lasted;
    // false once it has lasted the limit, when the caller gives up.
    bool stillWorking();

private:
    const Progress& progress_;
    uint64_t startUs_;
};

}  // namespace korvid::programming
