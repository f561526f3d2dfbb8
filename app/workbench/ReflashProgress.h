// The picture shown while the programmer is re-flashed: a blinking notice and a
// bar of the firmware bytes sent. The rules of the progress dialog; a front end
// runs its timer (first tick kFirstTickMs after it appears, then every
// kBlinkMs), shows State() and ends the dialog when a tick says so. It takes no
// input and cannot be closed before.
#pragma once

#include "FirmwareUpdate.h"
#include "display_language.h"
#include "korvid_ext.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace korvid::workbench {

class ReflashProgress {
public:
    static constexpr int kFirstTickMs = 100;
    static constexpr int kBlinkMs = 500;

    struct State {
        std::string notice;  // text field 1066: blank in odd rounds
        // The bar: busy (no range) until the first firmware data is counted.
        // Within INT32_MAX, the range of the front ends' bars: a larger total
        // is counted in half steps.
        uint32_t barValue = 0;
        uint32_t barMaximum = 0;
        std::string barText;  // shown on the bar once the programmer restarts
        bool operator==(const State&) const = default;
    };

    ReflashProgress(const FirmwareUpdateState& update, Language language);

    // A progress event of the re-flash; called on the worker thread.
    void Report(const KorvidProgress& event);
    // A tick of the dialog's timer: false once the worker has finished, when the
    // dialog ends; otherwise the notice blinks on to its next round.
    bool OnTick();
    // Whether the dialog may close: only once a tick saw the worker finished.
    bool Finished() const { return finished_; }

    State Present() const;

private:
    const FirmwareUpdateState& update_;
    Language language_;
    int round_ = 0;
    bool finished_ = false;
    mutable std::mutex mutex_;  // the bar, written by the worker
    uint32_t barValue_ = 0;
    uint32_t barMaximum_ = 0;
    bool restarting_ = false;
};

}  // namespace korvid::workbench
