// Transfers that fail half-way, on the simulated programmers: every operation
// reports a communication failure and leaves the device closed.
#include <gtest/gtest.h>

#include <vector>

#include "korvid.h"
#include "link/sim/simulated_programmer.h"

namespace korvid {
namespace {

JobRecord jobFor(std::vector<uint8_t>& code) {
    JobRecord job{};
    job.partIndex = 20;
    job.maxCount = 0xFFFF;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    return job;
}

TEST(LinkFailure, HidUnpluggedDuringImage) {
    sim::SimulatedPlatform sim;
    // Identify out and in, command out, acknowledgement in: then the plug is pulled.
    sim::SimulatedHidProgrammer& programmer = sim.attachHidProgrammer({.unplugAfterTransfers = 4});
    sim::ScopedTestPlatform use(sim.platform());
    std::vector<uint8_t> code(1000, 0x42);
    JobRecord job = jobFor(code);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    EXPECT_TRUE(programmer.targetFlash().empty());
    EXPECT_EQ(programmer.openHandles(), 0);
}

TEST(LinkFailure, HidDumpCutShort) {
    sim::SimulatedPlatform sim;
    sim.attachHidProgrammer({.targetInformation = std::vector<uint8_t>(100, 0x11)});
    sim::ScopedTestPlatform use(sim.platform());
    std::vector<uint8_t> info(256);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_COMM_FAIL);
}

TEST(LinkFailure, PipeHeaderOrImageRefusedByStatusBlock) {
    // Status blocks 0-4 belong to the handshake, 5 to the time-out, 6 to the
    // header and 7 to the image.
    for (unsigned failing : {6u, 7u}) {
        sim::SimulatedPlatform sim;
        sim::SimulatedPipeProgrammer& programmer =
            sim.attachPipeProgrammer({.statusErrorAt = failing});
        sim::ScopedTestPlatform use(sim.platform());
        std::vector<uint8_t> code(1000, 0x42);
        JobRecord job = jobFor(code);
        EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL) << failing;
        EXPECT_EQ(programmer.openHandles(), 0);
    }
}

TEST(LinkFailure, PipeUnpluggedDuringDump) {
    size_t dumpTransfers = 0;
    {
        sim::SimulatedPlatform sim;
        sim::SimulatedPipeProgrammer& programmer = sim.attachPipeProgrammer();
        sim::ScopedTestPlatform use(sim.platform());
        std::vector<uint8_t> info(256);
        ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
        dumpTransfers = programmer.traffic().size();
    }
    sim::SimulatedPlatform sim;
    sim.attachPipeProgrammer({.unplugAfterTransfers = static_cast<unsigned>(dumpTransfers - 1)});
    sim::ScopedTestPlatform use(sim.platform());
    std::vector<uint8_t> info(256);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_COMM_FAIL);
}

}  // namespace
}  // namespace korvid
