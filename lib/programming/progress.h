// Progress events of the programmer operations, handed to the callback that the
// program registered (KorvidSetProgressCallback). Reporting only calls the
// callback: it sends nothing and waits for nothing, so the traffic and its timing
// are the same with and without one.
#pragma once

#include <cstdint>

#include "korvid_ext.h"
#include "link/sent_observer.h"

namespace korvid::programming {

// Registers the callback (nullptr removes it) and its context.
void setProgressCallback(KorvidProgressCallback callback, void* context);

// The progress of one operation (KORVID_OPERATION_*).
class Progress {
public:
    explicit Progress(uint32_t operation) : operation_(operation) {}

    // One event; values beyond 32 bits are reported as the largest 32-bit value.
    void report(uint32_t phase, uint64_t done = 0, uint64_t total = 0) const;

    // A hook for a transfer of `total` bytes in pieces: reports `phase` with the
    // bytes sent so far after each piece.
    link::SentObserver bytesSent(uint32_t phase, uint64_t total) const;

    // Reports `phase` with the milliseconds passed on the platform clock since
    // startUs (a reading of its nowUs()), total 0.
    void reportElapsed(uint32_t phase, uint64_t startUs) const;

private:
    uint32_t operation_;
};

}  // namespace korvid::programming
