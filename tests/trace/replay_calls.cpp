#include "replay_calls.h"

#include <array>
#include <string>

#include "korvid.h"
#include "korvid_ext.h"
#include "link/programmer_trace_fields.h"
#include "link/replay/replay_platform.h"
#include "link/selection.h"
#include "link/sim/simulated_programmer.h"
#include "link/trace/api_call.h"
#include "programming/trace_fields.h"
#include "trace_scenarios.h"

namespace korvid::testing {
namespace {

using trace::TraceEvent;

constexpr size_t kTargetInformationBytes = 256;

// Makes the recorded call; the return event it gives, or nothing when the call
// cannot be made (the script then says why).
std::optional<TraceEvent> makeCall(const TraceEvent& call, replay::TraceScript& script) {
    const std::string name = call.field("name") != nullptr ? *call.field("name") : "";
    if (name == "UpdateMCU") {
        std::string error;
        auto recorded = programming::RecordedUpdateMcu::FromCall(call, error);
        if (!recorded) {
            script.failAtLastEvent(error);
            return std::nullopt;
        }
        JobRecord* job = recorded->job();
        const uint8_t result = UpdateMCU(job, recorded->icpMode(), recorded->toTarget());
        return trace::ReturnEvent(name, result, programming::UpdateMcuReturnFields(job));
    }
    if (name == "DumpMCUInfo") {
        std::array<uint8_t, kTargetInformationBytes> info{};
        const uint8_t result = DumpMCUInfo(info.data());
        return trace::ReturnEvent(name, result, programming::DumpReturnFields(result, info.data()));
    }
    if (name == "UpdateFW") {
        return trace::ReturnEvent(name, UpdateFW(), {});
    }
    if (name == "KorvidListProgrammers") {
        const uint32_t count = KorvidListProgrammers(nullptr, 0);
        return trace::ReturnEvent(name, RC_OK, link::ListReturnFields(count));
    }
    if (name == "KorvidSelectProgrammer") {
        const std::string* device = call.field("device");
        const uint8_t result = KorvidSelectProgrammer(device != nullptr ? device->c_str() : "");
        return trace::ReturnEvent(name, result, {});
    }
    if (name == "KorvidDetectProgrammer") {
        KorvidDetection detection{};
        const uint8_t result = KorvidDetectProgrammer(&detection);
        return trace::ReturnEvent(name, result, link::DetectionReturnFields(detection));
    }
    if (name == "KorvidCheckAccess") {
        KorvidAccess access{};
        const uint8_t result = KorvidCheckAccess(&access);
        return trace::ReturnEvent(name, result, link::AccessReturnFields(access));
    }
    script.failAtLastEvent("a call of \"" + name + "\" cannot be replayed");
    return std::nullopt;
}

// The fields of a return to compare: those the replay gave and those recorded.
std::vector<std::string_view> returnKeys(const TraceEvent& actual, const TraceEvent* recorded) {
    std::vector<std::string_view> keys;
    for (const auto* event : {&actual, recorded}) {
        if (event == nullptr) {
            continue;
        }
        for (const trace::TraceField& field : event->fields) {
            if (std::find(keys.begin(), keys.end(), field.key) == keys.end()) {
                keys.push_back(field.key);
            }
        }
    }
    return keys;
}

}  // namespace

std::string ReplayTrace(replay::TraceScript script) {
    // Every trace starts from a process that selected no programmer, and leaves it
    // so; a selection the trace makes is replayed with it.
    link::SelectProgrammer("");
    struct SelectionCleared {
        ~SelectionCleared() { link::SelectProgrammer(""); }
    } clearedAfterwards;
    SimulatedFirmwareImages images;
    replay::ReplayPlatform replay(std::move(script));
    replay::TraceScript& recording = replay.script();
    {
        sim::ScopedTestPlatform use(replay.platform());
        const TraceEvent anyCall =
            trace::MakeEvent(0, trace::kLinkApi, trace::Direction::None, trace::kCall);
        while (!recording.atEnd()) {
            const TraceEvent* call = recording.expect(anyCall, {});
            if (call == nullptr) {
                break;
            }
            const auto returned = makeCall(*call, recording);
            if (!returned) {
                break;
            }
            const TraceEvent* next = recording.peek();
            const bool nextIsReturn = next != nullptr && next->kind == trace::kReturn;
            recording.expect(*returned, returnKeys(*returned, nextIsReturn ? next : nullptr));
            if (recording.failed()) {
                break;
            }
        }
    }
    return recording.failure();
}

}  // namespace korvid::testing
