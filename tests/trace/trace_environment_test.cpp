// KORVID_TRACE (set by CTest for this program) starts a trace at the first use of
// the library's programmer functions, before anything else in the process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "korvid.h"
#include "korvid_ext.h"
#include "link/sim/simulated_programmer.h"
#include "trace_files.h"

namespace korvid::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(TraceEnvironment, TheNamedFileRecordsFromTheFirstCall) {
    const char* path = std::getenv("KORVID_TRACE");
    ASSERT_NE(path, nullptr);
    std::filesystem::remove(path);  // the variable is read at the first call below

    sim::SimulatedPlatform sim;
    sim.attachHidProgrammer();
    sim::ScopedTestPlatform use(sim.platform());
    std::array<uint8_t, 256> info{};
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    KorvidStopTrace();
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);  // after the stop: not recorded

    const auto lines = Lines(ReadText(path));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_THAT(lines.front(), StartsWith("# korvid wire trace"));
    EXPECT_EQ(lines[1], "0 api - call name=DumpMCUInfo");
    EXPECT_THAT(lines.back(),
                StartsWith("0 api - return name=DumpMCUInfo result=0x00 data=00010203"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "0 api - call name=DumpMCUInfo"), 1);
}

}  // namespace
}  // namespace korvid::testing
