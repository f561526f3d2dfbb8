// replay_traces FILE...: replays each trace file through the exported functions, as
// the kept traces are replayed, and says for each whether it agreed. Exit status 1
// when any did not. Used on the traces a real-stack run brings back.
#include <cstdio>
#include <string>

#include "link/replay/trace_script.h"
#include "replay_calls.h"

int main(int argc, char** argv) {
    int disagreed = 0;
    for (int i = 1; i < argc; ++i) {
        std::string error;
        auto script = korvid::replay::TraceScript::Load(argv[i], error);
        const std::string failure =
            script ? korvid::testing::ReplayTrace(std::move(*script)) : "not loaded: " + error;
        std::printf("%s %s%s%s\n", failure.empty() ? "replays:" : "DISAGREES:", argv[i],
                    failure.empty() ? "" : "\n  ", failure.c_str());
        disagreed += failure.empty() ? 0 : 1;
    }
    return disagreed == 0 ? 0 : 1;
}
