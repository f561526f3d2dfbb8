// DumpMCUInfo against the simulated programmers.
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

Bytes targetInfo() {
    Bytes info(256);
    for (size_t i = 0; i < info.size(); ++i) {
        info[i] = static_cast<uint8_t>(255 - i);
    }
    return info;
}

class DumpMcuInfoTest : public ProgrammingTest {
protected:
    Bytes destination = Bytes(256, 0xAA);
};

TEST_F(DumpMcuInfoTest, HidInfoInFourReportsFillsDestinationInOrder) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.targetInformation = targetInfo()});
    ASSERT_EQ(DumpMCUInfo(destination.data()), RC_OK);
    EXPECT_EQ(destination, targetInfo());
    EXPECT_EQ(hostStream(programmer.traffic()), concat({command31(0xC5), command31(0xC4)}));
    const auto inputs = sim::BytesOf(programmer.traffic(), sim::TrafficKind::InputReport);
    ASSERT_EQ(inputs.size(), 2u + 4u);  // identify answer, 'A', four of information
    for (size_t i = 2; i < inputs.size(); ++i) {
        EXPECT_EQ(inputs[i][0], 64);
    }
}

TEST_F(DumpMcuInfoTest, HidRefusalReadsNothingMore) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.commandAck = 'N'});
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_REFUSED);
    EXPECT_EQ(sim::BytesOf(programmer.traffic(), sim::TrafficKind::InputReport).size(), 2u);
    EXPECT_EQ(destination, Bytes(256, 0xAA));
}

TEST_F(DumpMcuInfoTest, HidShortInfoIsCommunicationFailure) {
    attachHid({.targetInformation = Bytes(200, 0x11)});
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_COMM_FAIL);
}

TEST_F(DumpMcuInfoTest, PipeDumpHeaderAndInfo) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.targetInformation = targetInfo()});
    ASSERT_EQ(DumpMCUInfo(destination.data()), RC_OK);
    EXPECT_EQ(destination, targetInfo());
    EXPECT_THAT(pipeMessages(programmer.traffic()).back(),
                ElementsAre(0x5A, 0xA5, 0xF2, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF));
    EXPECT_EQ(programmer.lastTimeout(), 8000);
}

TEST_F(DumpMcuInfoTest, PipeAcknowledgementOtherThanZeroIsRefusal) {
    attachPipe({.dumpAck = 0x01});
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_REFUSED);
    EXPECT_EQ(destination, Bytes(256, 0xAA));
}

TEST_F(DumpMcuInfoTest, DetectionFailuresAndMissingDestination) {
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_NO_DEVICE);
    sim::SimulatedHidProgrammer& programmer = attachHid({.firmwareIdentifier = 0x0601});
    EXPECT_EQ(DumpMCUInfo(nullptr), RC_REFUSED);
    EXPECT_THAT(programmer.traffic(), IsEmpty());
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_FIRMWARE_MISMATCH);
}

}  // namespace
}  // namespace korvid::testing
