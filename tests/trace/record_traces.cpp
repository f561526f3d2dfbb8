// Records the kept traces again, e.g. after a deliberate change of the wire
// traffic:   build/tests/trace/record_traces tests/traces
#include <cstdio>
#include <exception>
#include <string>

#include "trace_scenarios.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\nRecords every kept trace into DIRECTORY.\n",
                     argv[0]);
        return 2;
    }
    try {
        for (const auto& scenario : korvid::testing::TraceScenarios()) {
            const std::string path = std::string(argv[1]) + "/" + scenario.name + ".trace";
            korvid::testing::RecordScenario(scenario, path);
            std::printf("%s\n", path.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
