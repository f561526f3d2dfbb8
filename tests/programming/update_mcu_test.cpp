// UpdateMCU against the scripted fake programmers: bytes on the wire and every
// result code.
#include <cstring>
#include <numeric>

#include "catalogue/option_encoding.h"
#include "link/programmer_identifier.h"
#include "programming/operations.h"
#include "programming_fixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr uint32_t kKeepIapData = 1u << 3;  // option 3 of catalogue position 3
constexpr uint32_t kFzwdtcr = 1u << 0;      // mask 0x80

Bytes identify() {
    return command31(0xC5);
}

// The 31-byte command that followed the identify command on the HID link.
Bytes sentCommand(const FakeHidProgrammer& hid) {
    const Bytes stream = hid.sentStream();
    return Bytes(stream.begin() + 31, stream.begin() + 62);
}

class UpdateMcuTest : public ProgrammingTest {};

TEST_F(UpdateMcuTest, HidProgramsTargetThroughWorkingReplies) {
    job.optionStates[0] = kKeepIapData;
    fake.hid.finalReplies = {'W', 'W', 'A'};

    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);

    const Bytes command = sentCommand(fake.hid);
    EXPECT_EQ(command[0], 0xC1);
    EXPECT_EQ(command[12], 0xBF);
    EXPECT_EQ(fake.hid.sentStream(), concat({identify(), command, code}));
    EXPECT_EQ(fake.hid.receivedImage, code);
    // The command travels as one 65-byte report: count, command, 0xFF filler.
    const Bytes& report = fake.hid.outputReports[1];
    EXPECT_EQ(report.size(), 65u);
    EXPECT_EQ(report[0], 0x1F);
    EXPECT_EQ(Bytes(report.begin() + 32, report.end()), Bytes(33, 0xFF));
    EXPECT_EQ(link::programmerIdentifier(), link::kHidFirmwareIdentifier);
}

struct OptionCase {
    int32_t part;
    uint32_t checked;
    uint32_t toTarget;
    uint8_t optionByte;
};

class IspOptionByteTest : public ProgrammingTest,
                          public ::testing::WithParamInterface<OptionCase> {};

TEST_P(IspOptionByteTest, CommandCarriesOptionByte) {
    job.partIndex = GetParam().part;
    job.optionStates[0] = GetParam().checked;
    ASSERT_EQ(UpdateMCU(&job, 0, GetParam().toTarget), RC_OK);
    EXPECT_EQ(sentCommand(fake.hid)[12], GetParam().optionByte);
}

INSTANTIATE_TEST_SUITE_P(CataloguePositions3And12, IspOptionByteTest,
                         ::testing::Values(OptionCase{3, kKeepIapData, 1, 0xBF},
                                           OptionCase{3, kFzwdtcr, 1, 0x3D},
                                           OptionCase{3, 0, 1, 0xBD}, OptionCase{12, 1, 0, 0xB9},
                                           OptionCase{12, 0, 0, 0xBB}));

TEST_F(UpdateMcuTest, SerialBlockBeyondCodeOnTheWire) {
    code.assign(0x1000, 0x5C);
    job.codeLength = 0x1000;
    job.codeBuffer = code.data();
    setSerialNumbers(0x2000);

    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);

    const Bytes command = sentCommand(fake.hid);
    EXPECT_EQ(command[0], 0xC0);
    EXPECT_THAT(Bytes(command.begin() + 5, command.begin() + 9), ElementsAre(0x10, 0x20, 0, 0));
    EXPECT_EQ(command[20], 0x01);
    EXPECT_THAT(Bytes(command.begin() + 23, command.begin() + 31),
                ElementsAre(0x0C, 0x20, 0, 0, 0xE8, 0x03, 0, 0));
    const Bytes& image = fake.hid.receivedImage;
    ASSERT_EQ(image.size(), 0x2010u);
    EXPECT_EQ(Bytes(image.begin() + 0x1000, image.begin() + 0x2000), Bytes(0x1000, 0xFF));
    EXPECT_EQ(std::string(image.begin() + 0x2000, image.begin() + 0x200C), "KORVID-UNIT ");
    EXPECT_THAT(Bytes(image.begin() + 0x200C, image.end()), ElementsAre(0, 0, 0, 0));
    const auto sum = static_cast<uint16_t>(std::accumulate(image.begin(), image.end(), 0u));
    EXPECT_EQ(command[9] | command[10] << 8, sum);
    EXPECT_EQ(job.serialAddress, 0x200Cu);
}

TEST_F(UpdateMcuTest, HidFinalAndCommandRepliesDecideTheResult) {
    fake.hid.finalReplies = {'C'};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);

    fake.hid.finalReplies = {'W', 'Q'};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);

    fake.hid.finalReplies = {'W'};  // then silence
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
}

TEST_F(UpdateMcuTest, HidCommandRefusedSendsNoImage) {
    fake.hid.commandReply = {'X'};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    EXPECT_EQ(fake.hid.sentStream().size(), 62u);
    EXPECT_THAT(fake.hid.receivedImage, IsEmpty());

    fake.hid.commandReply = {};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
}

TEST_F(UpdateMcuTest, DetectionResultIsReturnedBeforeAnyCommand) {
    fake.hid.identifyReply = {0x06, 0x03, 0x00, 0x00};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(fake.hid.sentStream(), identify());

    fake.hid.present = false;
    fake.pipe.present = false;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_NO_DEVICE);
    EXPECT_EQ(job.serialAddress, 0u);
}

TEST_F(UpdateMcuTest, PipeStoresJobWithHeaderImageAndOneReply) {
    useOnlyPipeProgrammer();
    job.partIndex = 12;
    job.optionStates[0] = 1;
    job.maxCount = 500;
    setSerialNumbers(0x0100);

    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);

    const std::vector<Bytes> sent = fake.pipe.hostMessages();
    ASSERT_GE(sent.size(), 2u);
    const Bytes& header = sent[sent.size() - 2];
    EXPECT_THAT(header,
                ElementsAre(0x5A, 0xA5, 0xB9, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xF4, 0x01, 0x01, 0x0C, 0x01, 0xE8, 0x03, 0x00, 0x00));
    EXPECT_EQ(sent.back().size(), 0x300u);
    EXPECT_EQ(fake.pipe.timeouts.back(), 0xFFFFu);
    EXPECT_EQ(fake.pipe.messages.back().bytes.size(), 3u);
    EXPECT_FALSE(fake.pipe.messages.back().fromHost);
}

TEST_F(UpdateMcuTest, PipeProgrammingPollsWhileWorking) {
    useOnlyPipeProgrammer();
    fake.pipe.programReplies = {{0, 0, 'U'}, {0, 0, 'U'}};
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    int replies = 0;
    for (const auto& m : fake.pipe.messages) {
        replies += !m.fromHost && m.bytes.size() == 3;
    }
    EXPECT_EQ(replies, 3);

    // Storing reads once: a working status there is a failure.
    fake.pipe.programReplies = {{0, 0, 'U'}};
    job.codeLength = 0;
    EXPECT_EQ(UpdateMCU(&job, 0, 0), RC_REFUSED);
}

TEST_F(UpdateMcuTest, PipeReplyChecksumIsTestedBeforeStatus) {
    useOnlyPipeProgrammer();
    fake.pipe.checksumReplyXor = 0x0100;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);

    const uint16_t sum = static_cast<uint16_t>(std::accumulate(code.begin(), code.end(), 0u));
    const uint8_t hi = sum >> 8, lo = sum & 0xFF;
    fake.pipe.checksumReplyXor = 0;
    fake.pipe.programReplies = {{hi, lo, 0xFE}};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_TARGET_LOCKED);
    fake.pipe.programReplies = {{hi, lo, 0x01}};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    fake.pipe.programReplies = {{static_cast<uint8_t>(hi ^ 1), lo, 0xFE}};
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);
}

// A test ICP part: flash 0x10000, ISP sizes 0 / 0x800 / 0x1000.
catalogue::PartEntry icpPart() {
    catalogue::PartEntry e{};
    e.name = "Test ICP";
    e.seriesMask = 1;
    e.deviceCode = 0x0130;
    e.flashSize = 0x10000;
    e.iapStart = 0xC000;
    e.hasIspMemoryChoice = 1;
    e.hasIapMemoryChoice = 1;
    e.hasHwSettings = 1;
    e.ispMemoryList = "0,800,1000";
    e.ispMemoryField = {1, 0xF3};  // bits 2..3
    e.hwwidlField = {1, 0xFE};
    e.hwpsField = {2, 0xF1};  // bits 1..3
    e.iapBoundaryByte = 3;
    e.optionCount = 1;
    e.options[0] = {0, 0x80, "HWENW\0x"};
    return e;
}

catalogue::PartEntry sentinel() {
    catalogue::PartEntry e{};
    e.name = "NoBody";
    return e;
}

class IcpJobTest : public ProgrammingTest {
protected:
    IcpJobTest() {
        job.partIndex = 0;
        job.programArea = AREA_IAP;
        job.ispMemoryIndex = 1;  // 0x800 bytes: ISP from 0xF800
        job.iapMemoryIndex = 4;  // 0x800 bytes: IAP from 0xF000
        job.hwOptions = 0x0B;
    }

    catalogue::PartEntry ispTable[1] = {sentinel()};
    catalogue::PartEntry icpTable[2] = {icpPart(), sentinel()};
    catalogue::Catalogue testCatalogue{ispTable, icpTable};
};

TEST_F(IcpJobTest, AreaOneCarriesIapStartOnHid) {
    ASSERT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_OK);
    const Bytes command = sentCommand(fake.hid);
    EXPECT_EQ(command[0], 0xC3);
    EXPECT_THAT(Bytes(command.begin() + 1, command.begin() + 5), ElementsAre(0, 0xF0, 0, 0));
    EXPECT_EQ(command[11], 0xD0);  // low byte of 0 - 0x30
    const auto config = catalogue::encodeIcpConfigBytes(
        icpTable[0], job, catalogue::IapBoundaryEncoding::Programming);
    ASSERT_TRUE(config);
    EXPECT_THAT(Bytes(command.begin() + 12, command.begin() + 20), ElementsAreArray(*config));
    EXPECT_EQ(command[12 + 3], 0xF0);  // the IAP boundary page, also with iapMemoryIndex 4
}

TEST_F(IcpJobTest, AreaOneCarriesIapPageOnPipe) {
    useOnlyPipeProgrammer();
    ASSERT_EQ(programming::updateMcu(&job, true, false, testCatalogue), RC_OK);
    const std::vector<Bytes> sent = fake.pipe.hostMessages();
    const Bytes& header = sent[sent.size() - 2];
    EXPECT_EQ(header[2], 0xBB);
    EXPECT_EQ(header[3], 0xF2);
    EXPECT_EQ(header[4], 0xD0);
    EXPECT_EQ(header[5], 0xF0);
    job.programArea = AREA_ISP;
    ASSERT_EQ(programming::updateMcu(&job, true, false, testCatalogue), RC_OK);
    EXPECT_EQ(fake.pipe.hostMessages().end()[-2][5], 0xF8);
}

TEST_F(IcpJobTest, JobsThatCannotBeEncodedAreRefusedWithoutTraffic) {
    job.ispMemoryIndex = 3;  // the list has three items
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    icpTable[0].ispMemoryList = nullptr;
    job.ispMemoryIndex = 0;
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    job.partIndex = 1;  // the sentinel
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    EXPECT_THAT(fake.hid.outputReports, IsEmpty());
}

TEST_F(UpdateMcuTest, UnusableJobsAreRefusedWithoutTraffic) {
    EXPECT_EQ(UpdateMCU(nullptr, 0, 1), RC_REFUSED);
    job.partIndex = 44;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    job.partIndex = -1;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    job.partIndex = 0;
    EXPECT_EQ(UpdateMCU(&job, 1, 1), RC_REFUSED);  // the ICP catalogue is empty
    job.codeBuffer = nullptr;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    job.codeBuffer = code.data();
    setSerialNumbers(0xFFFFFFF8);  // the block's end would wrap
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    EXPECT_EQ(job.serialAddress, 0xFFFFFFF8u);
    EXPECT_THAT(fake.hid.outputReports, IsEmpty());
    EXPECT_THAT(fake.pipe.messages, IsEmpty());
}

TEST_F(UpdateMcuTest, EmptyImageIsAcceptedWithoutBuffer) {
    job.codeLength = 0;
    job.codeBuffer = nullptr;
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(fake.hid.sentStream().size(), 62u);
}

}  // namespace
}  // namespace korvid::testing
