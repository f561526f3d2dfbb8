#include "link/pipe_blocks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvid::link {
namespace {

using ::testing::ElementsAre;

TEST(PipeBlocks, CommandBlocksAreExact) {
    EXPECT_THAT(BuildCommandBlock({PIPE_COMMAND_SET_TIMEOUT, 0xFFFF, 0}),
                ElementsAre(0x5A, 0xA5, 0x93, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0, 0x00));
    EXPECT_THAT(BuildCommandBlock({PIPE_COMMAND_SET_TIMEOUT, 20000, 0}),
                ElementsAre(0x5A, 0xA5, 0x93, 0x00, 0x20, 0x4E, 0x00, 0x00, 0, 0, 0, 0, 0x00));
    EXPECT_THAT(
        BuildCommandBlock({PIPE_COMMAND_WRITE, 0, 0x00010001}),
        ElementsAre(0x5A, 0xA5, 0x92, 0x00, 0, 0, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00));
    EXPECT_THAT(BuildCommandBlock({PIPE_COMMAND_READ, 0, 2}),
                ElementsAre(0x5A, 0xA5, 0x91, 0x00, 0, 0, 0x00, 0x00, 0x02, 0, 0, 0, 0x00));
}

TEST(PipeBlocks, ParseRoundTripsAndRejectsForeignBytes) {
    const auto block = BuildCommandBlock({PIPE_COMMAND_WRITE, 0, 0x12345678});
    const auto fields = ParseCommandBlock(block);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->command, PIPE_COMMAND_WRITE);
    EXPECT_EQ(fields->count, 0x12345678u);
    auto bad = block;
    bad[1] = 0x00;
    EXPECT_FALSE(ParseCommandBlock(bad));
    EXPECT_FALSE(ParseCommandBlock(std::span(block).first(12)));
}

TEST(PipeBlocks, StatusBlockErrorIsByteTwelve) {
    EXPECT_FALSE(StatusBlockReportsError(BuildStatusBlock(0)));
    auto block = BuildStatusBlock(0x01);
    EXPECT_THAT(block, ElementsAre(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01));
    EXPECT_TRUE(StatusBlockReportsError(block));
    block = BuildStatusBlock(0);
    block[11] = 0xFF;  // other bytes are not examined
    EXPECT_FALSE(StatusBlockReportsError(block));
}

}  // namespace
}  // namespace korvid::link
