#include "ReflashProgress.h"

#include <cstdint>

#include "TextTable.h"

namespace korvid::workbench {

ReflashProgress::ReflashProgress(const FirmwareUpdateState& update, Language language)
    : update_(update), language_(language) {}

void ReflashProgress::Report(const KorvidProgress& event) {
    const std::lock_guard lock(mutex_);
    switch (event.phase) {
        case KORVID_PHASE_REFLASH_DATA:
            barMaximum_ = event.total;
            barValue_ = event.done;
            restarting_ = false;
            break;
        case KORVID_PHASE_RESTART_WAIT:
            // Before the data the programmer restarts into its update mode (the bar
            // stays busy); after it, with the new firmware.
            if (barMaximum_ > 0) {
                barValue_ = barMaximum_;
                restarting_ = true;
            }
            break;
        default:
            break;
    }
}

bool ReflashProgress::OnTick() {
    if (!update_.Busy()) {
        finished_ = true;
        return false;
    }
    ++round_;
    return true;
}

ReflashProgress::State ReflashProgress::Present() const {
    State s;
    if (round_ > 0) {
        s.notice = round_ % 2 == 1 ? " " : PairText(TextTable::firmwareUpdating, language_);
    }
    const std::lock_guard lock(mutex_);
    const int shift = barMaximum_ > INT32_MAX ? 1 : 0;
    s.barValue = barValue_ >> shift;
    s.barMaximum = barMaximum_ >> shift;
    if (restarting_) {
        s.barText = PairText(TextTable::programmerRestarting, language_);
    }
    return s;
}

}  // namespace korvid::workbench
