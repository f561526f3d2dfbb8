// The wire trace recorded against the simulated programmers: the traffic it shows
// is byte for byte what each programmer model received and sent, opens that fail
// are shown with their reason, every line is whole while the host pauses, and
// starting, stopping and unwritable files behave as the exported header says.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

#include "../catalogue/scratch_folder.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "link/platform.h"
#include "link/sim/simulated_programmer.h"
#include "link/trace/trace_names.h"
#include "programming/trace_fields.h"
#include "trace_files.h"
#include "trace_scenarios.h"

namespace korvid::testing {
namespace {

using trace::TraceEvent;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kOutdatedIdentifier = 0x0512;

Bytes dataOf(const TraceEvent& event) {
    const std::string* data = event.field("data");
    return data != nullptr ? trace::ParseHexBytes(*data).value_or(Bytes{}) : Bytes{};
}

// The transfers that a trace shows reaching the device, in the simulator's terms.
sim::Traffic trafficOf(const std::vector<TraceEvent>& events) {
    using sim::Direction;
    using sim::TrafficKind;
    sim::Traffic traffic;
    for (const TraceEvent& e : events) {
        const std::string result = e.field("result") != nullptr ? *e.field("result") : "";
        if (e.link == trace::kLinkHid && result == "ok" && e.kind == trace::kOutputReport) {
            traffic.push_back({TrafficKind::OutputReport, Direction::HostToDevice, dataOf(e)});
        } else if (e.link == trace::kLinkHid && result == "report") {
            traffic.push_back({TrafficKind::InputReport, Direction::DeviceToHost, dataOf(e)});
        } else if (e.link == trace::kLinkHid && result == "ok" && e.kind == trace::kSetFeature) {
            traffic.push_back({TrafficKind::SetFeature, Direction::HostToDevice, dataOf(e)});
        } else if (e.link == trace::kLinkHid && result == "ok" && e.kind == trace::kGetFeature) {
            traffic.push_back({TrafficKind::GetFeature, Direction::DeviceToHost, dataOf(e)});
        } else if (e.link == trace::kLinkPipe && result == "done" && e.kind == trace::kWrite) {
            traffic.push_back({TrafficKind::PipeWrite, Direction::HostToDevice, dataOf(e)});
        } else if (e.link == trace::kLinkPipe && result == "done" && e.kind == trace::kRead) {
            traffic.push_back({TrafficKind::PipeRead, Direction::DeviceToHost, dataOf(e)});
        } else if (e.link == trace::kLinkPipe && e.kind == trace::kReset) {
            const auto pipe = trace::ParsePipe(*e.field("pipe"));
            traffic.push_back({TrafficKind::PipeReset,
                               Direction::HostToDevice,
                               {static_cast<uint8_t>(pipe.value())}});
        }
    }
    return traffic;
}

void expectSameTraffic(const sim::Traffic& traced, const sim::Traffic& device) {
    ASSERT_EQ(traced.size(), device.size());
    for (size_t i = 0; i < traced.size(); ++i) {
        SCOPED_TRACE("transfer " + std::to_string(i));
        EXPECT_EQ(traced[i].kind, device[i].kind);
        EXPECT_EQ(traced[i].direction, device[i].direction);
        EXPECT_EQ(traced[i].bytes, device[i].bytes);
    }
}

// The "name result" of every return in the trace.
std::vector<std::string> returns(const std::vector<TraceEvent>& events) {
    std::vector<std::string> results;
    for (const TraceEvent& e : events) {
        if (e.kind == trace::kReturn) {
            results.push_back(*e.field("name") + " " + *e.field("result"));
        }
    }
    return results;
}

void runScenarioCalls(const std::string& name) {
    for (const TraceScenario& scenario : TraceScenarios()) {
        if (scenario.name == name) {
            scenario.calls();
            return;
        }
    }
    FAIL() << "no scenario " << name;
}

class TraceRecordingTest : public ::testing::Test {
protected:
    ~TraceRecordingTest() override { KorvidStopTrace(); }

    std::string tracePath(const std::string& name) const {
        return (scratch.path() / name).string();
    }

    // The program's whole workflow: refused, re-flashed, target programmed, job
    // stored, target information dumped.
    void runWorkflow(const std::string& model) {
        runScenarioCalls(model + "-update-firmware");
        runScenarioCalls(model + "-update-programmer-isp");
        runScenarioCalls(model + "-dump");
    }

    ScratchFolder scratch;
    SimulatedFirmwareImages images;
    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

const std::vector<std::string> kWorkflowReturns = {
    "UpdateMCU 0xed", "UpdateFW 0x00", "UpdateMCU 0x00", "UpdateMCU 0x00", "DumpMCUInfo 0x00"};

TEST_F(TraceRecordingTest, ShowsTheHidProgrammersTrafficByteForByte) {
    const sim::SimulatedHidProgrammer& programmer =
        sim.attachHidProgrammer({.firmwareIdentifier = kOutdatedIdentifier, .workingReplies = 2});
    const std::string path = tracePath("hid.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    runWorkflow("hid");
    KorvidStopTrace();

    const auto events = Events(path);
    EXPECT_EQ(returns(events), kWorkflowReturns);
    EXPECT_FALSE(programmer.installedFirmware().empty());
    expectSameTraffic(trafficOf(events), programmer.traffic());
}

TEST_F(TraceRecordingTest, ShowsThePipeProgrammersTrafficByteForByte) {
    const sim::SimulatedPipeProgrammer& programmer =
        sim.attachPipeProgrammer({.firmwareIdentifier = kOutdatedIdentifier, .workingReplies = 2});
    const std::string path = tracePath("pipe.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    runWorkflow("pipe");
    KorvidStopTrace();

    const auto events = Events(path);
    EXPECT_EQ(returns(events), kWorkflowReturns);
    EXPECT_FALSE(programmer.installedFirmware().empty());
    expectSameTraffic(trafficOf(events), programmer.traffic());
}

TEST_F(TraceRecordingTest, ShowsPipeTimeoutsAndTheGapBeforeEachDataPhase) {
    sim.attachPipeProgrammer();
    const std::string path = tracePath("pipe.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    std::array<uint8_t, 256> info{};
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    KorvidStopTrace();

    auto lines = EventLines(path);
    ASSERT_GE(lines.size(), 6u);
    lines.resize(6);
    // PipeSetTimeout(20000) of the handshake: its command block with the poll limit
    // as the transfer's time-out, the 800 µs gap, the status block.
    EXPECT_THAT(lines, ::testing::ElementsAre(
                           "0 api - call name=DumpMCUInfo", "0 hid - enumerate devices=0",
                           "0 pipe - open vendor=4c7b product=030d index=1 result=ok",
                           "0 pipe > write length=13 timeout=21000 result=done moved=13 "
                           "data=5aa59300204e00000000000000",
                           "0 clock - busy-wait us=800",
                           "800 pipe < read length=13 timeout=21000 result=done moved=13 "
                           "data=00000000000000000000000000"));
}

TEST_F(TraceRecordingTest, ShowsAFailedOpenWithItsReason) {
    sim.attachHidProgrammer({.refuseOpen = true});
    const std::string path = tracePath("denied.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    std::array<uint8_t, 256> info{};
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_NO_DEVICE);
    KorvidStopTrace();

    EXPECT_THAT(EventLines(path),
                ::testing::ElementsAre(
                    "0 api - call name=DumpMCUInfo",
                    "0 hid - enumerate devices=1 [path=sim-hid-0 vendor=4c7b product=0323 "
                    "location=0-1 serial= accessible=no]",
                    "0 hid - open path=sim-hid-0 result=access-denied",
                    "0 pipe - open vendor=4c7b product=030d index=1 result=not-found",
                    "0 api - return name=DumpMCUInfo result=0xe1"));
}

TEST_F(TraceRecordingTest, AFileThatCannotBeCreatedChangesNothing) {
    sim.attachHidProgrammer();
    const std::string missing = tracePath("missing/x.trace");
    EXPECT_EQ(KorvidStartTrace(missing.c_str()), RC_FILE_OPEN);
    EXPECT_EQ(KorvidStartTrace(scratch.path().string().c_str()), RC_FILE_OPEN);  // a folder
    EXPECT_EQ(KorvidStartTrace(nullptr), RC_FILE_OPEN);
    EXPECT_EQ(&platform::current(), &sim.platform()) << "a trace runs";
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "missing"));

    // A running trace keeps running.
    const std::string path = tracePath("kept.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    EXPECT_EQ(KorvidStartTrace(missing.c_str()), RC_FILE_OPEN);
    std::array<uint8_t, 256> info{};
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    KorvidStopTrace();
    EXPECT_THAT(returns(Events(path)), ::testing::ElementsAre("DumpMCUInfo 0x00"));
}

TEST_F(TraceRecordingTest, StartReplacesStopEndsAndStartingAgainAppends) {
    sim.attachHidProgrammer();
    std::array<uint8_t, 256> info{};
    KorvidStopTrace();  // none runs: harmless
    const std::string first = tracePath("first.trace");
    const std::string second = tracePath("second.trace");

    ASSERT_EQ(KorvidStartTrace(first.c_str()), RC_OK);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    ASSERT_EQ(KorvidStartTrace(second.c_str()), RC_OK);
    EXPECT_EQ(UpdateFW(), RC_OK);  // another operation, to tell the two traces apart
    KorvidStopTrace();
    EXPECT_EQ(&platform::current(), &sim.platform()) << "a trace runs";
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    ASSERT_EQ(KorvidStartTrace(first.c_str()), RC_OK);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    KorvidStopTrace();
    KorvidStopTrace();

    EXPECT_THAT(returns(Events(first)),
                ::testing::ElementsAre("DumpMCUInfo 0x00", "DumpMCUInfo 0x00"));
    EXPECT_THAT(returns(Events(second)), ::testing::ElementsAre("UpdateFW 0x00"));
    const auto firstLines = Lines(ReadText(first));
    EXPECT_EQ(
        std::count_if(firstLines.begin(), firstLines.end(),
                      [](const std::string& l) { return l.starts_with("# korvid wire trace"); }),
        2);
}

TEST_F(TraceRecordingTest, CallsCarryTheirArgumentsAndReturnsTheirOutputs) {
    sim.attachHidProgrammer();
    Bytes code{0x02, 0x00, 0x10, 0xA5, 0x5A};
    JobRecord job{};
    std::strcpy(job.codeName, "private/name.hex");
    job.partIndex = 12;
    job.programArea = AREA_AP_IAP;
    job.optionStates[0] = 0x80000001;
    job.optionStates[1] = 0x00000002;
    job.ispMemoryIndex = 1;
    job.iapMemoryIndex = 2;
    job.hwOptions = 0x0B;
    job.maxCount = 500;
    job.serialFlags = 0x03;
    job.serialAddress = 0x40;
    job.serialNumber = 0xDEADBEEF;
    std::memcpy(job.serialText, "A B%C[D]E\tF\xff", KORVID_SERIAL_TEXT_SIZE);
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    const JobRecord before = job;

    const std::string path = tracePath("calls.trace");
    ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);
    std::array<uint8_t, 256> info{};
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(UpdateMCU(nullptr, 0, 1), RC_REFUSED);
    KorvidStopTrace();

    std::vector<TraceEvent> api;
    for (TraceEvent& e : Events(path)) {
        if (e.link == trace::kLinkApi) {
            api.push_back(std::move(e));
        }
    }
    ASSERT_EQ(api.size(), 6u);
    EXPECT_THAT(FormatTraceLine(api[0]), ::testing::Not(::testing::HasSubstr("private")));
    std::string error;
    auto recorded = programming::RecordedUpdateMcu::FromCall(api[0], error);
    ASSERT_TRUE(recorded) << error;
    EXPECT_EQ(recorded->icpMode(), 0u);
    EXPECT_EQ(recorded->toTarget(), 0u);
    const JobRecord* r = recorded->job();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->partIndex, before.partIndex);
    EXPECT_EQ(r->programArea, before.programArea);
    EXPECT_EQ(r->optionStates[0], before.optionStates[0]);
    EXPECT_EQ(r->optionStates[1], before.optionStates[1]);
    EXPECT_EQ(r->ispMemoryIndex, before.ispMemoryIndex);
    EXPECT_EQ(r->iapMemoryIndex, before.iapMemoryIndex);
    EXPECT_EQ(r->hwOptions, before.hwOptions);
    EXPECT_EQ(r->maxCount, before.maxCount);
    EXPECT_EQ(r->serialFlags, before.serialFlags);
    EXPECT_EQ(r->serialAddress, before.serialAddress);
    EXPECT_EQ(r->serialNumber, before.serialNumber);
    EXPECT_EQ(0, std::memcmp(r->serialText, before.serialText, KORVID_SERIAL_TEXT_SIZE));
    EXPECT_EQ(Bytes(r->codeBuffer, r->codeBuffer + r->codeLength), code);

    EXPECT_EQ(FormatTraceLine(api[1]), "0 api - return name=UpdateMCU result=0x00 serialAddress=" +
                                           std::to_string(before.serialAddress + 12));
    EXPECT_EQ(*api[3].field("data"), trace::HexBytes(info));
    EXPECT_THAT(FormatTraceLine(api[4]),
                ::testing::EndsWith("api - call name=UpdateMCU icpMode=0 toTarget=1 job=none"));
    EXPECT_THAT(FormatTraceLine(api[5]),
                ::testing::EndsWith("api - return name=UpdateMCU result=0xe0"));
}

// Calls a hook at the start of every pause of the host, then pauses on paper.
class PauseHookClock : public sim::VirtualClock {
public:
    void sleepMs(uint32_t milliseconds) override {
        if (onPause) {
            onPause(milliseconds);
        }
        VirtualClock::sleepMs(milliseconds);
    }
    std::function<void(uint32_t)> onPause;
};

TEST(TraceLines, EveryLineIsWholeWhenAPauseBegins) {
    for (const std::string model : {"hid", "pipe"}) {
        SCOPED_TRACE(model);
        auto clock = std::make_unique<PauseHookClock>();
        PauseHookClock& hook = *clock;
        sim::SimulatedPlatform sim(std::move(clock));
        if (model == "hid") {
            sim.attachHidProgrammer({.firmwareIdentifier = kOutdatedIdentifier});
        } else {
            sim.attachPipeProgrammer({.firmwareIdentifier = kOutdatedIdentifier});
        }
        SimulatedFirmwareImages images;
        sim::ScopedTestPlatform use(sim.platform());
        ScratchFolder scratch;
        const std::string path = (scratch.path() / "pauses.trace").string();

        size_t pauses = 0;
        size_t eventsBefore = 0;
        hook.onPause = [&](uint32_t milliseconds) {
            ++pauses;
            const std::string text = ReadText(path);
            ASSERT_FALSE(text.empty());
            ASSERT_EQ(text.back(), '\n');
            const auto events = Events(path);  // fails the test on a partial line
            ASSERT_GT(events.size(), eventsBefore);
            eventsBefore = events.size();
            EXPECT_EQ(events.back().kind, trace::kSleep);
            EXPECT_EQ(*events.back().field("ms"), std::to_string(milliseconds));
        };
        ASSERT_EQ(KorvidStartTrace(path.c_str()), RC_OK);
        EXPECT_EQ(UpdateFW(), RC_OK);
        KorvidStopTrace();
        EXPECT_GE(pauses, model == "hid" ? 216u : 2u);
    }
}

}  // namespace
}  // namespace korvid::testing
