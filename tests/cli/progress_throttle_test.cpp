// Which progress events --json prints, on a clock the test sets: a store's
// thousand image reports in one second come out as about ten a second with the
// first and the last of every phase, each exactly as reported.
#include "progress_throttle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace korvid::cli {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;
using Event = std::tuple<uint32_t, uint32_t, uint32_t>;  // phase, done, total

class Recorder {
public:
    void Report(uint32_t phase, uint32_t done, uint32_t total,
                ProgressThrottle::Clock::duration at) {
        for (const KorvidProgress& event :
             throttle_.Take({KORVID_OPERATION_UPDATE_MCU, phase, done, total},
                            ProgressThrottle::Clock::time_point(at))) {
            shown.emplace_back(event.phase, event.done, event.total);
        }
    }
    void Finish() {
        if (const auto last = throttle_.Finish()) {
            shown.emplace_back(last->phase, last->done, last->total);
        }
    }
    std::vector<Event> shown;

private:
    ProgressThrottle throttle_;
};

TEST(ProgressThrottleTest, AThousandReportsASecondComeOutTenASecondWithEveryPhasesEnds) {
    Recorder recorder;
    recorder.Report(KORVID_PHASE_DETECTING, 0, 0, 0ms);
    recorder.Report(KORVID_PHASE_SENDING_COMMAND, 0, 0, 1ms);
    for (uint32_t done = 0; done <= 1000; ++done) {
        recorder.Report(KORVID_PHASE_SENDING_IMAGE, done, 1000, 2ms + done * 1ms);
    }
    // "Still working" every 30 ms: the last one is held until the operation ends.
    for (uint32_t waited = 0; waited <= 270; waited += 30) {
        recorder.Report(KORVID_PHASE_WAITING, waited, 0, 1010ms + waited * 1ms);
    }
    recorder.Finish();

    std::vector<Event> expected{{KORVID_PHASE_DETECTING, 0, 0},
                                {KORVID_PHASE_SENDING_COMMAND, 0, 0}};
    for (uint32_t done = 0; done <= 1000; done += 100) {
        expected.emplace_back(KORVID_PHASE_SENDING_IMAGE, done, 1000);
    }
    for (uint32_t waited : {0u, 120u, 240u, 270u}) {
        expected.emplace_back(KORVID_PHASE_WAITING, waited, 0u);
    }
    EXPECT_EQ(recorder.shown, expected);
}

TEST(ProgressThrottleTest, AHeldLastEventComesBeforeTheNextPhaseAndAWholeCountAtOnce) {
    Recorder recorder;
    // A restart wait told every 10 ms, then the firmware data: the wait's last
    // report (held) is printed before the data's first.
    recorder.Report(KORVID_PHASE_RESTART_WAIT, 0, 0, 0ms);
    recorder.Report(KORVID_PHASE_RESTART_WAIT, 10, 0, 10ms);
    recorder.Report(KORVID_PHASE_RESTART_WAIT, 20, 0, 20ms);
    recorder.Report(KORVID_PHASE_REFLASH_DATA, 0, 64, 21ms);
    recorder.Report(KORVID_PHASE_REFLASH_DATA, 32, 64, 22ms);
    // The whole count is the phase's last and is printed when it comes.
    recorder.Report(KORVID_PHASE_REFLASH_DATA, 64, 64, 23ms);
    // The same phase again after another one is a phase of its own.
    recorder.Report(KORVID_PHASE_RESTART_WAIT, 0, 0, 24ms);
    recorder.Finish();
    EXPECT_THAT(recorder.shown, ElementsAre(Event{KORVID_PHASE_RESTART_WAIT, 0, 0},
                                            Event{KORVID_PHASE_RESTART_WAIT, 20, 0},
                                            Event{KORVID_PHASE_REFLASH_DATA, 0, 64},
                                            Event{KORVID_PHASE_REFLASH_DATA, 64, 64},
                                            Event{KORVID_PHASE_RESTART_WAIT, 0, 0}));
}

}  // namespace
}  // namespace korvid::cli
