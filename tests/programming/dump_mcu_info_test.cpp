// DumpMCUInfo against the scripted fake programmers.
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
    DumpMcuInfoTest() {
        fake.hid.dumpData = targetInfo();
        fake.pipe.dumpData = targetInfo();
    }

    Bytes destination = Bytes(256, 0xAA);
};

TEST_F(DumpMcuInfoTest, HidInfoInFourReportsFillsDestinationInOrder) {
    ASSERT_EQ(DumpMCUInfo(destination.data()), RC_OK);
    EXPECT_EQ(destination, targetInfo());
    EXPECT_EQ(fake.hid.sentStream(), concat({command31(0xC5), command31(0xC4)}));
    EXPECT_THAT(fake.hid.inputReports, IsEmpty());
}

TEST_F(DumpMcuInfoTest, HidRefusalReadsNothingMore) {
    fake.hid.dumpAck = {'N'};
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_REFUSED);
    EXPECT_EQ(fake.hid.inputReports.size(), 4u);  // the four data reports stay unread
    EXPECT_EQ(destination, Bytes(256, 0xAA));
}

TEST_F(DumpMcuInfoTest, HidShortInfoIsCommunicationFailure) {
    fake.hid.dumpData.resize(200);
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_COMM_FAIL);
    fake.hid.dumpAck = {};
    fake.hid.dumpData = {};
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_COMM_FAIL);
}

TEST_F(DumpMcuInfoTest, PipeDumpHeaderAndInfo) {
    useOnlyPipeProgrammer();
    ASSERT_EQ(DumpMCUInfo(destination.data()), RC_OK);
    EXPECT_EQ(destination, targetInfo());
    EXPECT_THAT(fake.pipe.hostMessages().back(),
                ElementsAre(0x5A, 0xA5, 0xF2, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF));
    EXPECT_EQ(fake.pipe.timeouts.back(), 8000u);
}

TEST_F(DumpMcuInfoTest, PipeAcknowledgementOtherThanZeroIsRefusal) {
    useOnlyPipeProgrammer();
    fake.pipe.dumpAck = 0x01;
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_REFUSED);
    EXPECT_EQ(destination, Bytes(256, 0xAA));
}

TEST_F(DumpMcuInfoTest, DetectionFailuresAndMissingDestination) {
    EXPECT_EQ(DumpMCUInfo(nullptr), RC_REFUSED);
    EXPECT_THAT(fake.hid.outputReports, IsEmpty());
    fake.hid.identifyReply = {0x01, 0x06, 0x00, 0x00};
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_FIRMWARE_MISMATCH);
    fake.hid.present = false;
    fake.pipe.present = false;
    EXPECT_EQ(DumpMCUInfo(destination.data()), RC_NO_DEVICE);
}

}  // namespace
}  // namespace korvid::testing
