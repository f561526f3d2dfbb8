// A trace file is outside input: traces recorded elsewhere are added to the test
// suite by hand.
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/platform.h"
#include "link/replay/replay_platform.h"
#include "link/replay/trace_script.h"
#include "link/sim/simulated_programmer.h"
#include "programming/operations.h"

namespace {

using korvid::trace::ParseTraceLine;

// Every line that parses formats to a line that parses to the same event.
void checkRoundTrips(std::string_view text) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::string error;
        const auto event = ParseTraceLine(line, error);
        if (!event) {
            continue;
        }
        const auto again = ParseTraceLine(korvid::trace::FormatTraceLine(*event), error);
        if (!again || !(*again == *event)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRoundTrips(text);

    std::string error;
    auto script = korvid::replay::TraceScript::Parse(text, error);
    if (!script) {
        return 0;
    }
    korvid::replay::ReplayPlatform replay(std::move(*script));
    korvid::sim::ScopedTestPlatform use(replay.platform());
    std::array<uint8_t, 256> info{};
    korvid::programming::dumpMcuInfo(info.data());
    return 0;
}
