// Transfers that fail half-way, on the simulated programmers: every operation
// reports a communication failure and leaves the device closed.
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

class LinkFailureTest : public ProgrammingTest {};

TEST_F(LinkFailureTest, HidUnpluggedDuringImage) {
    // Identify out and in, command out, acknowledgement in: then the plug is pulled.
    sim::SimulatedHidProgrammer& programmer = attachHid({.unplugAfterTransfers = 4});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(LinkFailureTest, PipeHeaderRefusedByStatusBlock) {
    // Status blocks 0-4 belong to the handshake, 5 to the time-out, 6 to the header.
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.statusErrorAt = 6});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(LinkFailureTest, PipeImageRefusedByStatusBlock) {
    attachPipe({.statusErrorAt = 7});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
}

TEST_F(LinkFailureTest, PipeUnpluggedDuringDump) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe();
    Bytes info(256);
    ASSERT_EQ(DumpMCUInfo(info.data()), RC_OK);
    // The same exchange again, with the plug pulled before its last transfer.
    const auto transfers = static_cast<unsigned>(programmer.traffic().size());
    programmer.options().unplugAfterTransfers = 2 * transfers - 1;
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_COMM_FAIL);
}

// A hung older programmer takes no part: the first unanswered transfer ends the
// detection, after one time-out, instead of four of them and a firmware mismatch.
TEST_F(LinkFailureTest, PipeThatNeverAnswersFailsAfterOneTimeout) {
    attachPipe({.hung = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    EXPECT_EQ(clock().nowUs(), 21'000'000u);
    EXPECT_EQ(UpdateFW(), RC_COMM_FAIL);
}

TEST_F(LinkFailureTest, HidThatNeverAnswersFails) {
    attachHid({.hung = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
    Bytes info(256);
    EXPECT_EQ(DumpMCUInfo(info.data()), RC_COMM_FAIL);
}

}  // namespace
}  // namespace korvid::testing
