#include "link/detect.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "korvid.h"
#include "link/pipe_blocks.h"
#include "link/programmer_identifier.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::link {
namespace {

using sim::BytesOf;
using sim::TrafficKind;
using ::testing::ElementsAre;

class DetectTest : public ::testing::Test {
protected:
    DetectTest() { setProgrammerIdentifier(0); }

    // The handshakes the host sent: every 2-byte write data phase.
    static size_t handshakeCount(const sim::SimulatedPipeProgrammer& p) {
        size_t n = 0;
        for (const auto& bytes : BytesOf(p.traffic(), TrafficKind::PipeWrite)) {
            n += bytes == std::vector<uint8_t>{0x55, 0xAA};
        }
        return n;
    }

    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

TEST_F(DetectTest, HidProgrammerWithTheAcceptedIdentifier) {
    auto& programmer = sim.attachHidProgrammer();
    EXPECT_EQ(DetectProgrammer(), RC_OK);
    EXPECT_EQ(programmerIdentifier(), 0x0603);
    const auto out = BytesOf(programmer.traffic(), TrafficKind::OutputReport);
    ASSERT_EQ(out.size(), 1u);
    std::vector<uint8_t> expected(65, 0xFF);
    expected[0] = 31;
    expected[1] = 0xC5;
    EXPECT_EQ(out[0], expected);
    EXPECT_EQ(programmer.openHandles(), 0);
}

TEST_F(DetectTest, HidProgrammerWithSwappedOrOtherIdentifierIsRefused) {
    auto& programmer = sim.attachHidProgrammer({.firmwareIdentifier = 0x0306});  // 0x06 0x03
    EXPECT_EQ(DetectProgrammer(), RC_FIRMWARE_MISMATCH);
    programmer.options().firmwareIdentifier = 0x0512;
    EXPECT_EQ(DetectProgrammer(), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(programmerIdentifier(), 0);
    EXPECT_EQ(programmer.openHandles(), 0);
}

TEST_F(DetectTest, ShortOrFailedHidExchangeIsACommunicationFailure) {
    auto& programmer = sim.attachHidProgrammer({.truncateRepliesTo = 3});
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    programmer.options().truncateRepliesTo.reset();
    programmer.options().countByteOverride = 5;  // more than asked for
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    programmer.options().countByteOverride.reset();
    programmer.options().emptyReportsBeforeAnswer = 1000;
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    EXPECT_EQ(programmer.openHandles(), 0);
    programmer.options().emptyReportsBeforeAnswer = 0;
    programmer.options().unplugAfterTransfers = 0;
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    EXPECT_EQ(programmer.openHandles(), 0);
    EXPECT_EQ(programmerIdentifier(), 0);
}

TEST_F(DetectTest, NoProgrammerOnEitherLink) {
    sim.attachHidProgrammer({.productId = 0x030B});
    sim.attachPipeProgrammer({.productId = 0x0323});
    EXPECT_EQ(DetectProgrammer(), RC_NO_DEVICE);
}

TEST_F(DetectTest, PipeProgrammerAgreeingOnTheIdentifierIsAcceptedAtTheSecondExchange) {
    auto& programmer = sim.attachPipeProgrammer();
    EXPECT_EQ(DetectProgrammer(), RC_OK);
    EXPECT_EQ(programmerIdentifier(), 0x0551);
    EXPECT_EQ(handshakeCount(programmer), 2u);
    EXPECT_EQ(programmer.lastTimeout(), 20000);
    EXPECT_EQ(programmer.openHandles(), 0);
    // One exchange on the write pipe: write block, 0x55 0xAA, read block, write block, 0x00.
    const auto writes = BytesOf(programmer.traffic(), TrafficKind::PipeWrite);
    ASSERT_EQ(writes.size(), 1u + 2 * 5);
    EXPECT_THAT(writes[1], ElementsAre(0x5A, 0xA5, 0x92, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0));
    EXPECT_THAT(writes[2], ElementsAre(0x55, 0xAA));
    EXPECT_THAT(writes[3], ElementsAre(0x5A, 0xA5, 0x91, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0));
    EXPECT_THAT(writes[4], ElementsAre(0x5A, 0xA5, 0x92, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0));
    EXPECT_THAT(writes[5], ElementsAre(0x00));
}

TEST_F(DetectTest, PipeProgrammerAgreeingOnAnotherIdentifierIsRefused) {
    sim.attachPipeProgrammer({.firmwareIdentifier = 0x5105});
    EXPECT_EQ(DetectProgrammer(), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(programmerIdentifier(), 0);
}

TEST_F(DetectTest, FirstPipeAnswerOfZeroEndsTheHandshakeAtOnce) {
    auto& programmer = sim.attachPipeProgrammer({.handshakeAnswers = {0x0000}});
    EXPECT_EQ(DetectProgrammer(), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(handshakeCount(programmer), 1u);
}

// A link that fails or cuts the answer short leaves the zeroed buffer: that is no
// answer of other firmware, and no re-flash may be offered over it.
TEST_F(DetectTest, AHandshakeAnswerThatDidNotArriveWholeIsACommunicationFailure) {
    // Transfers: set time-out (command, status), handshake write (command, data,
    // status), read command, read data: the seventh carries the first answer.
    auto& faulty = sim.attachPipeProgrammer({.faultTransferAt = 6});
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    EXPECT_EQ(handshakeCount(faulty), 1u);
    EXPECT_EQ(faulty.openHandles(), 0);
    faulty.unplug();

    auto& shortAnswers = sim.attachPipeProgrammer({.truncateAnswersTo = 1});
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    EXPECT_EQ(handshakeCount(shortAnswers), 1u);
    EXPECT_EQ(programmerIdentifier(), 0);
    shortAnswers.unplug();

    // A fault at the second exchange's answer (each exchange is eight transfers) is the same.
    auto& later =
        sim.attachPipeProgrammer({.handshakeAnswers = {0x1234, 0x0551}, .faultTransferAt = 6 + 8});
    EXPECT_EQ(DetectProgrammer(), RC_COMM_FAIL);
    EXPECT_EQ(handshakeCount(later), 2u);
}

TEST_F(DetectTest, ChangingAnswersSettleWhenTwoInARowAgree) {
    auto& programmer =
        sim.attachPipeProgrammer({.handshakeAnswers = {0x1111, 0x0551, 0x2222, 0x0551}});
    EXPECT_EQ(DetectProgrammer(), RC_OK);
    EXPECT_EQ(handshakeCount(programmer), 5u);  // the fifth answer repeats the fourth
}

TEST_F(DetectTest, ThirtyOneExchangesWithoutAgreementFindNoDevice) {
    std::vector<uint16_t> alternating;
    for (int i = 0; i < 40; ++i) {
        alternating.push_back(i % 2 ? 0x0551 : 0x1234);
    }
    auto& programmer = sim.attachPipeProgrammer({.handshakeAnswers = alternating});
    EXPECT_EQ(DetectProgrammer(), RC_NO_DEVICE);
    EXPECT_EQ(handshakeCount(programmer), 31u);
    EXPECT_EQ(programmer.openHandles(), 0);
}

TEST_F(DetectTest, PipeCommandStatusesAreNotExamined) {
    // The first handshake write ends with an error status block; the answers still agree.
    auto& programmer = sim.attachPipeProgrammer({.statusErrorAt = 1});
    EXPECT_EQ(DetectProgrammer(), RC_OK);
    EXPECT_EQ(BytesOf(programmer.traffic(), TrafficKind::PipeReset).size(), 2u);
}

TEST_F(DetectTest, HidIsPreferredWhenBothModelsAreAttached) {
    auto& hid = sim.attachHidProgrammer({.firmwareIdentifier = 0x0100});
    auto& pipe = sim.attachPipeProgrammer();
    EXPECT_EQ(DetectProgrammer(), RC_FIRMWARE_MISMATCH);
    EXPECT_FALSE(hid.traffic().empty());
    EXPECT_TRUE(pipe.traffic().empty());
    EXPECT_EQ(pipe.openCount(), 0u);
}

TEST_F(DetectTest, FailedDetectionKeepsTheLastAcceptedIdentifier) {
    auto& programmer = sim.attachPipeProgrammer();
    ASSERT_EQ(DetectProgrammer(), RC_OK);
    programmer.unplug();
    EXPECT_EQ(DetectProgrammer(), RC_NO_DEVICE);
    EXPECT_EQ(programmerIdentifier(), 0x0551);
}

}  // namespace
}  // namespace korvid::link
