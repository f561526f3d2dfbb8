// Progress events of the three programmer operations, and proof that a callback
// changes neither the traffic nor its timing.
#include <functional>

#include "korvid_ext.h"
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct Event {
    uint32_t operation;
    uint32_t phase;
    uint32_t done;
    uint32_t total;
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* out) {
    *out << "{op " << e.operation << ", phase " << e.phase << ", " << e.done << "/" << e.total
         << "}";
}

void record(const KorvidProgress* progress, void* context) {
    static_cast<std::vector<Event>*>(context)->push_back(
        {progress->operation, progress->phase, progress->done, progress->total});
}

constexpr uint32_t kMcu = KORVID_OPERATION_UPDATE_MCU;
constexpr uint32_t kDump = KORVID_OPERATION_DUMP;
constexpr uint32_t kFw = KORVID_OPERATION_UPDATE_FW;

class ProgressTest : public ProgrammingTest {
protected:
    ProgressTest() { KorvidSetProgressCallback(record, &events); }
    ~ProgressTest() override { KorvidSetProgressCallback(nullptr, nullptr); }

    // The events of one phase.
    std::vector<Event> phase(uint32_t which) const {
        std::vector<Event> selected;
        for (const Event& e : events) {
            if (e.phase == which) {
                selected.push_back(e);
            }
        }
        return selected;
    }
    // The order in which phases were first reported.
    std::vector<uint32_t> phases() const {
        std::vector<uint32_t> order;
        for (const Event& e : events) {
            if (order.empty() || order.back() != e.phase) {
                order.push_back(e.phase);
            }
        }
        return order;
    }

    std::vector<Event> events;
};

TEST_F(ProgressTest, UpdateMcuOverHidReportsEachImageReportAndEachWorkingReply) {
    attachHid({.workingReplies = 2});
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);

    EXPECT_THAT(phases(), ElementsAre(KORVID_PHASE_DETECTING, KORVID_PHASE_SENDING_COMMAND,
                                      KORVID_PHASE_SENDING_IMAGE, KORVID_PHASE_WAITING));
    std::vector<Event> image = {{kMcu, KORVID_PHASE_SENDING_IMAGE, 0, 0x300}};
    for (uint32_t sent = 64; sent <= 0x300; sent += 64) {  // twelve reports of 64 bytes
        image.push_back({kMcu, KORVID_PHASE_SENDING_IMAGE, sent, 0x300});
    }
    EXPECT_THAT(phase(KORVID_PHASE_SENDING_IMAGE), ElementsAreArray(image));
    EXPECT_THAT(phase(KORVID_PHASE_WAITING), ElementsAre(Event{kMcu, KORVID_PHASE_WAITING, 0, 0},
                                                         Event{kMcu, KORVID_PHASE_WAITING, 0, 0}));
    EXPECT_EQ(events.front(), (Event{kMcu, KORVID_PHASE_DETECTING, 0, 0}));
}

TEST_F(ProgressTest, UpdateMcuOverPipeReportsTheImageAndEachWorkingStatus) {
    attachPipe({.workingReplies = 3});
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);

    EXPECT_THAT(phases(), ElementsAre(KORVID_PHASE_DETECTING, KORVID_PHASE_SENDING_COMMAND,
                                      KORVID_PHASE_SENDING_IMAGE, KORVID_PHASE_WAITING));
    EXPECT_THAT(phase(KORVID_PHASE_SENDING_IMAGE),
                ElementsAre(Event{kMcu, KORVID_PHASE_SENDING_IMAGE, 0, 0x300},
                            Event{kMcu, KORVID_PHASE_SENDING_IMAGE, 0x300, 0x300}));
    // Each poll's 800 µs command gap advances the clock, so the waited time grows.
    const std::vector<Event> waiting = phase(KORVID_PHASE_WAITING);
    ASSERT_EQ(waiting.size(), 3u);
    EXPECT_LE(waiting[0].done, waiting[1].done);
    EXPECT_LE(waiting[1].done, waiting[2].done);
}

TEST_F(ProgressTest, StoringOverPipeHasNoWorkingPhase) {
    attachPipe({.workingReplies = 3});
    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);
    EXPECT_TRUE(phase(KORVID_PHASE_WAITING).empty());
}

TEST_F(ProgressTest, RefusedJobEndsTheEventsAtTheCommand) {
    attachHid({.commandAck = 'X'});
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    EXPECT_THAT(phases(), ElementsAre(KORVID_PHASE_DETECTING, KORVID_PHASE_SENDING_COMMAND));
}

TEST_F(ProgressTest, DumpReportsItsPhasesOnBothLinks) {
    const std::vector<Event> expected = {{kDump, KORVID_PHASE_DETECTING, 0, 0},
                                         {kDump, KORVID_PHASE_SENDING_COMMAND, 0, 0},
                                         {kDump, KORVID_PHASE_RECEIVING, 0, 256},
                                         {kDump, KORVID_PHASE_RECEIVING, 256, 256}};
    Bytes info(256);
    attachHid();
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(events, expected);
}

TEST_F(ProgressTest, DumpOverPipe) {
    const std::vector<Event> expected = {{kDump, KORVID_PHASE_DETECTING, 0, 0},
                                         {kDump, KORVID_PHASE_SENDING_COMMAND, 0, 0},
                                         {kDump, KORVID_PHASE_RECEIVING, 0, 256},
                                         {kDump, KORVID_PHASE_RECEIVING, 256, 256}};
    Bytes info(256);
    attachPipe();
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(events, expected);
}

TEST_F(ProgressTest, HidReflashReportsEveryDataReportAndItsRestartWaits) {
    const Bytes image = firmwareImage(13796);
    firmware::install(firmware::kHidProgrammerImage, image);
    attachHid({.firmwareIdentifier = 0x0512, .reappearAfterPolls = 3});
    ASSERT_EQ(UpdateFW(), RC_OK);

    EXPECT_THAT(phases(), ElementsAre(KORVID_PHASE_SENDING_COMMAND, KORVID_PHASE_RESTART_WAIT,
                                      KORVID_PHASE_REFLASH_DATA, KORVID_PHASE_RESTART_WAIT));
    const std::vector<Event> data = phase(KORVID_PHASE_REFLASH_DATA);
    ASSERT_EQ(data.size(), 1u + 216u);
    EXPECT_EQ(data.front(), (Event{kFw, KORVID_PHASE_REFLASH_DATA, 0, 13796}));
    EXPECT_EQ(data[1], (Event{kFw, KORVID_PHASE_REFLASH_DATA, 64, 13796}));
    EXPECT_EQ(data.back(), (Event{kFw, KORVID_PHASE_REFLASH_DATA, 13796, 13796}));
    // The restart waits count milliseconds on the clock: four 1000 ms pauses until the
    // update mode appears, then the two 2000 ms settling pauses.
    std::vector<uint32_t> waited;
    for (const Event& e : events) {
        if (e.phase == KORVID_PHASE_RESTART_WAIT) {
            waited.push_back(e.done);
        }
    }
    EXPECT_THAT(waited, ElementsAre(1000, 2000, 3000, 4000, 4000, 6000, 8000,  // to update mode
                                    0, 2000, 4000));                           // after restart
}

TEST_F(ProgressTest, PipeReflashReportsItsImageAndRestartWaits) {
    const Bytes image = firmwareImage(8698);
    firmware::install(firmware::kPipeProgrammerImage, image);
    attachPipe({.firmwareIdentifier = 0x0540, .reappearAfterPolls = 2});
    ASSERT_EQ(UpdateFW(), RC_OK);

    EXPECT_THAT(phases(), ElementsAre(KORVID_PHASE_SENDING_COMMAND, KORVID_PHASE_RESTART_WAIT,
                                      KORVID_PHASE_REFLASH_DATA, KORVID_PHASE_RESTART_WAIT));
    EXPECT_THAT(phase(KORVID_PHASE_REFLASH_DATA),
                ElementsAre(Event{kFw, KORVID_PHASE_REFLASH_DATA, 0, 8698},
                            Event{kFw, KORVID_PHASE_REFLASH_DATA, 8698, 8698}));
    const std::vector<Event> restart = phase(KORVID_PHASE_RESTART_WAIT);
    ASSERT_EQ(restart.size(), 2u + 2u);  // two re-open pauses, then the settling pause
    EXPECT_EQ(restart[0].done, 500u);
    EXPECT_EQ(restart[1].done, 1000u);
    EXPECT_EQ(restart[2].done, 0u);
    EXPECT_EQ(restart[3].done, 5000u);
}

TEST_F(ProgressTest, RemovedCallbackHearsNothingAndContextIsPassed) {
    attachHid();
    KorvidSetProgressCallback(nullptr, &events);
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_TRUE(events.empty());

    std::vector<Event> other;
    KorvidSetProgressCallback(record, &other);
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(other.empty());
}

// One run of an operation on a fresh simulated system: its traffic and pauses.
struct Outcome {
    std::vector<std::pair<sim::TrafficKind, Bytes>> traffic;
    std::vector<uint32_t> pausesMs;
    uint64_t endUs = 0;
    uint8_t result = 0;
    bool operator==(const Outcome&) const = default;
};

enum class Model { Hid, Pipe };

struct Operation {
    bool outdatedProgrammer;  // the firmware update needs one, the others a current one
    std::function<uint8_t()> run;
};

Outcome runOnce(Model model, const Operation& operation) {
    sim::SimulatedPlatform sim{std::make_unique<RecordingClock>()};
    sim::ScopedTestPlatform use{sim.platform()};
    const sim::Traffic* traffic = nullptr;
    if (model == Model::Hid) {
        const uint16_t identifier = operation.outdatedProgrammer ? 0x0512 : 0x0603;
        traffic = &sim.attachHidProgrammer({.firmwareIdentifier = identifier, .workingReplies = 3})
                       .traffic();
    } else {
        const uint16_t identifier = operation.outdatedProgrammer ? 0x0540 : 0x0551;
        traffic = &sim.attachPipeProgrammer({.firmwareIdentifier = identifier, .workingReplies = 3})
                       .traffic();
    }
    Outcome run;
    run.result = operation.run();
    for (const sim::Transfer& transfer : *traffic) {
        run.traffic.emplace_back(transfer.kind, transfer.bytes);
    }
    auto& clock = static_cast<RecordingClock&>(sim.clock());
    run.pausesMs = clock.pausesMs;
    run.endUs = clock.nowUs();
    return run;
}

class CallbackIndependenceTest : public ::testing::TestWithParam<Model> {
protected:
    CallbackIndependenceTest() {
        job.partIndex = 3;
        job.maxCount = 0xFFFF;
        job.codeLength = static_cast<uint32_t>(code.size());
        job.codeBuffer = code.data();
        firmware::install(firmware::kHidProgrammerImage, firmwareImage(13796));
        firmware::install(firmware::kPipeProgrammerImage, firmwareImage(8698));
    }
    ~CallbackIndependenceTest() override {
        KorvidSetProgressCallback(nullptr, nullptr);
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    Bytes code = firmwareImage(0x300);
    JobRecord job{};
};

TEST_P(CallbackIndependenceTest, SameTrafficAndTimingWithAndWithoutACallback) {
    const std::vector<Operation> operations = {
        {false, [this] { return UpdateMCU(&job, 0, 1); }},
        {false, [this] { return UpdateMCU(&job, 0, 0); }},
        {false,
         [] {
             Bytes info(256);
             return DumpMCUInfo(info.data());
         }},
        {true, [] { return UpdateFW(); }},
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        SCOPED_TRACE(i);
        KorvidSetProgressCallback(nullptr, nullptr);
        const Outcome without = runOnce(GetParam(), operations[i]);
        std::vector<Event> events;
        KorvidSetProgressCallback(record, &events);
        const Outcome with = runOnce(GetParam(), operations[i]);
        KorvidSetProgressCallback(nullptr, nullptr);
        EXPECT_EQ(without.result, RC_OK);
        EXPECT_FALSE(events.empty());
        EXPECT_TRUE(with == without);
    }
}

INSTANTIATE_TEST_SUITE_P(BothModels, CallbackIndependenceTest,
                         ::testing::Values(Model::Hid, Model::Pipe));

}  // namespace
}  // namespace korvid::testing
