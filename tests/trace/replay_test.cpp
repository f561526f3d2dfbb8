// Every kept trace in tests/traces (recorded from the simulated programmers, or on
// real hardware and added later) replays through the exported functions, and
// recording the replay gives the same events again. A trace altered in a host
// byte, a pause, an event, a device answer or its grammar fails at its line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "../catalogue/scratch_folder.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "link/replay/trace_script.h"
#include "replay_calls.h"
#include "trace_files.h"
#include "trace_scenarios.h"

namespace korvid::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using trace::TraceEvent;

const std::filesystem::path kTracesDir = KORVID_TRACES_DIR;

std::vector<std::filesystem::path> keptTraces() {
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(kTracesDir)) {
        if (item.is_regular_file() && item.path().extension() == ".trace") {
            files.push_back(item.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The first event line, time stamps aside, where two traces differ; "" when none.
std::string firstDifference(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto event = [](const std::string& line) {
        return line.substr(std::min(line.find(' '), line.size()));
    };
    const auto linesA = EventLines(a);
    const auto linesB = EventLines(b);
    for (size_t i = 0; i < std::max(linesA.size(), linesB.size()); ++i) {
        const std::string lineA = i < linesA.size() ? linesA[i] : "(none)";
        const std::string lineB = i < linesB.size() ? linesB[i] : "(none)";
        if (event(lineA) != event(lineB)) {
            return "event " + std::to_string(i + 1) + ":\n  " + lineA + "\n  " + lineB;
        }
    }
    return "";
}

TEST(KeptTraces, EachReplaysAndRecordingTheReplayGivesTheSameEvents) {
    const auto files = keptTraces();
    EXPECT_GE(files.size(), TraceScenarios().size());
    ScratchFolder scratch;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::string error;
        auto script = replay::TraceScript::Load(path.string(), error);
        ASSERT_TRUE(script) << error;
        ASSERT_NE(script->peek(), nullptr) << "a trace without events";

        const auto again = scratch.path() / path.filename();
        ASSERT_EQ(KorvidStartTrace(again.string().c_str()), RC_OK);
        const std::string failure = ReplayTrace(std::move(*script));
        KorvidStopTrace();
        EXPECT_EQ(failure, "");
        if (failure.empty()) {
            EXPECT_EQ(firstDifference(path, again), "");
        }
    }
}

TEST(KeptTraces, AreWhatTheScenariosRecordNow) {
    ScratchFolder scratch;
    for (const TraceScenario& scenario : TraceScenarios()) {
        SCOPED_TRACE(scenario.name);
        const auto fresh = scratch.path() / (scenario.name + ".trace");
        RecordScenario(scenario, fresh.string());
        EXPECT_TRUE(ReadText(fresh) == ReadText(kTracesDir / fresh.filename()))
            << "tests/traces/" << fresh.filename().string()
            << " differs from a fresh recording; after a deliberate change of the traffic "
               "record them again: build/tests/trace/record_traces tests/traces";
    }
}

// An altered copy of a kept trace.
class AlteredTrace : public ::testing::Test {
protected:
    // The text with the first event line that `change` alters (returns true for)
    // written back; sets alteredLine to its number.
    std::string alter(const std::string& name, const std::function<bool(TraceEvent&)>& change) {
        std::string text;
        size_t number = 0;
        for (const std::string& line : Lines(ReadText(kTracesDir / name))) {
            ++number;
            std::string error;
            auto event = trace::ParseTraceLine(line, error);
            if (alteredLine == 0 && event && change(*event)) {
                alteredLine = number;
                text += trace::FormatTraceLine(*event) + "\n";
            } else {
                text += line + "\n";
            }
        }
        EXPECT_NE(alteredLine, 0u) << "nothing to alter in " << name;
        return text;
    }

    // The replay's failure ("" when it agreed).
    static std::string replay(const std::string& text) {
        std::string error;
        auto script = replay::TraceScript::Parse(text, error);
        if (!script) {
            return "not loaded: " + error;
        }
        return ReplayTrace(std::move(*script));
    }

    std::string at() const { return "line " + std::to_string(alteredLine) + ": "; }

    size_t alteredLine = 0;
};

bool is(const TraceEvent& e, std::string_view link, std::string_view kind) {
    return e.link == link && e.kind == kind;
}

TEST_F(AlteredTrace, UnalteredItReplays) {
    EXPECT_EQ(replay(ReadText(kTracesDir / "hid-update-target-isp.trace")), "");
}

TEST_F(AlteredTrace, AHostByteThatDiffersFailsThereWithBothBytes) {
    // Byte 5 of the identify command's report is 0xff; the recording now says 0xfe.
    const std::string text = alter("hid-update-target-isp.trace", [](TraceEvent& e) {
        if (!is(e, trace::kLinkHid, trace::kOutputReport)) {
            return false;
        }
        std::string& data = e.fields.back().value;
        data.replace(10, 2, "fe");
        return true;
    });
    EXPECT_THAT(replay(text),
                AllOf(HasSubstr(at() + "hid output: data differs, first difference at byte 5 "
                                       "(recorded 65 bytes, host 65)"),
                      HasSubstr("recorded: 1f c5 ff ff ff [fe] ff"),
                      HasSubstr("host:     1f c5 ff ff ff [ff] ff")));
}

TEST_F(AlteredTrace, APauseOfAnotherLengthFails) {
    const std::string busy = alter("pipe-update-target-isp.trace", [](TraceEvent& e) {
        if (!is(e, trace::kLinkClock, trace::kBusyWait)) {
            return false;
        }
        e.fields[0].value = "801";
        return true;
    });
    EXPECT_THAT(replay(busy),
                HasSubstr(at() + "clock busy-wait: us differs, recorded 801, host 800"));

    alteredLine = 0;
    const std::string sleep = alter("hid-update-firmware.trace", [](TraceEvent& e) {
        if (!is(e, trace::kLinkClock, trace::kSleep)) {
            return false;
        }
        e.fields[0].value = "999";
        return true;
    });
    EXPECT_THAT(replay(sleep),
                HasSubstr(at() + "clock sleep: ms differs, recorded 999, host 1000"));
}

TEST_F(AlteredTrace, AMissingEventFailsWhereTheHostDidIt) {
    std::string text = ReadText(kTracesDir / "hid-update-target-isp.trace");
    const size_t output = text.find(" hid > output ");
    const size_t start = text.rfind('\n', output) + 1;
    const size_t lineNumber = std::count(text.begin(), text.begin() + start, '\n') + 1;
    text.erase(start, text.find('\n', output) + 1 - start);
    EXPECT_THAT(replay(text),
                AllOf(HasSubstr("line " + std::to_string(lineNumber) + ": the recording has\n"),
                      HasSubstr("hid < input length=65 timeout=5000 result=report"),
                      HasSubstr("but the host did\n  hid > output length=65 data=1fc5ff")));
}

TEST_F(AlteredTrace, ADeviceAnswerThatDiffersChangesTheReturn) {
    // The programmer's final 'A' (0x41) becomes 'C' (0x43): a checksum complaint.
    std::string text = ReadText(kTracesDir / "hid-update-target-isp.trace");
    const size_t finalAnswer = text.rfind("result=report data=0141");
    ASSERT_NE(finalAnswer, std::string::npos);
    text.replace(finalAnswer + std::string_view("result=report data=01").size(), 2, "43");
    EXPECT_THAT(replay(text), HasSubstr("api return: result differs, recorded 0x00, host 0xe4"));
}

TEST_F(AlteredTrace, AnExtraOrMissingEventAtTheEndFails) {
    const std::string text = ReadText(kTracesDir / "hid-update-target-isp.trace");
    EXPECT_THAT(replay(text + "0 hid - enumerate devices=0\n"),
                AllOf(HasSubstr("the recording has\n  0 hid - enumerate devices=0"),
                      HasSubstr("but the host did\n  api - call")));

    const size_t cut = text.find('\n', text.find(" hid > output ")) + 1;
    EXPECT_THAT(replay(text.substr(0, cut)),
                HasSubstr("after the last line: the recording ends, but the host went on with\n"
                          "  hid < input length=65 timeout=5000"));
}

TEST_F(AlteredTrace, ARecordedValueThatCannotBeReadFails) {
    const std::string text = alter("hid-dump.trace", [](TraceEvent& e) {
        if (!is(e, trace::kLinkHid, trace::kInputReport)) {
            return false;
        }
        e.fields[2].value = "maybe";
        return true;
    });
    EXPECT_THAT(replay(text), HasSubstr(at() + "hid input: result=maybe cannot be read"));
}

TEST_F(AlteredTrace, ACallThatCannotBeMadeFails) {
    EXPECT_THAT(replay("5 api - call name=SaveKPJ\n"),
                HasSubstr("line 1: a call of \"SaveKPJ\" cannot be replayed"));
    EXPECT_THAT(replay("5 api - call name=UpdateMCU icpMode=0 toTarget=1 partIndex=x\n"),
                HasSubstr("line 1: UpdateMCU call: field partIndex not a decimal number"));
    EXPECT_THAT(replay("0 hid - enumerate devices=0\n"),
                HasSubstr("but the host did\n  api - call"));
}

TEST_F(AlteredTrace, AMalformedLineIsRefusedWithItsNumber) {
    const std::string text = ReadText(kTracesDir / "hid-dump.trace");
    const size_t secondLine = text.find('\n') + 1;
    EXPECT_EQ(replay(text.substr(0, secondLine) + "garbage\n" + text.substr(secondLine)),
              "not loaded: 2: expected \"<time> <link> <direction> <kind>\" and fields "
              "separated by one space");
}

}  // namespace
}  // namespace korvid::testing
