// Ctrl+C as a request instead of an end: while an InterruptFlag lives, SIGINT
// (on Windows the console's Ctrl+C and Ctrl+Break) only sets a flag, so what is
// being programmed is finished before the command stops and says so.
#pragma once

namespace korvid::cli {

class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    // Whether Ctrl+C came since the flag was raised.
    static bool Interrupted();
};

}  // namespace korvid::cli
