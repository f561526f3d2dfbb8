// KORVID_TRACE (set by CTest for this program) names a file in a folder that does
// not exist: the library runs untraced, and KorvidStartTrace still works.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "../catalogue/scratch_folder.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "link/platform.h"
#include "link/sim/simulated_programmer.h"
#include "trace_files.h"

namespace korvid::testing {
namespace {

TEST(TraceEnvironment, AFileThatCannotBeCreatedLeavesTheLibraryUntraced) {
    const char* path = std::getenv("KORVID_TRACE");
    ASSERT_NE(path, nullptr);
    ASSERT_FALSE(std::filesystem::exists(std::filesystem::path(path).parent_path()));

    sim::SimulatedPlatform sim;
    sim.attachHidProgrammer();
    sim::ScopedTestPlatform use(sim.platform());
    std::array<uint8_t, 256> info{};
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    EXPECT_EQ(&platform::current(), &sim.platform()) << "a trace runs";

    ScratchFolder scratch;
    const auto explicitPath = scratch.path() / "explicit.trace";
    ASSERT_EQ(KorvidStartTrace(explicitPath.string().c_str()), RC_OK);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_OK);
    KorvidStopTrace();
    EXPECT_EQ(EventLines(explicitPath).front(), "0 api - call name=DumpMCUInfo");
}

}  // namespace
}  // namespace korvid::testing
