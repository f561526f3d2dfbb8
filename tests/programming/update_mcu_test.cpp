// UpdateMCU against the simulated programmers: bytes on the wire and every
// result code.
#include <numeric>

#include "catalogue/option_encoding.h"
#include "korvid_ext.h"
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
Bytes sentCommand(const sim::SimulatedHidProgrammer& programmer) {
    const Bytes stream = hostStream(programmer.traffic());
    return stream.size() < 62 ? Bytes{} : Bytes(stream.begin() + 31, stream.begin() + 62);
}

uint16_t sum16(const Bytes& bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

class UpdateMcuTest : public ProgrammingTest {};

TEST_F(UpdateMcuTest, HidProgramsTargetThroughWorkingReplies) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.workingReplies = 2});
    job.optionStates[0] = kKeepIapData;

    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);

    const Bytes command = sentCommand(programmer);
    ASSERT_EQ(command.size(), 31u);
    EXPECT_EQ(command[0], 0xC1);
    EXPECT_EQ(command[12], 0xBF);
    EXPECT_EQ(hostStream(programmer.traffic()), concat({identify(), command, code}));
    EXPECT_EQ(programmer.targetFlash(), code);
    // The command travels as one 65-byte report: count, command, 0xFF filler.
    const Bytes report = sim::BytesOf(programmer.traffic(), sim::TrafficKind::OutputReport)[1];
    EXPECT_EQ(report.size(), 65u);
    EXPECT_EQ(report[0], 0x1F);
    EXPECT_EQ(Bytes(report.begin() + 32, report.end()), Bytes(33, 0xFF));
    // Identify answer, 'A', 'W', 'W', 'A'.
    EXPECT_EQ(sim::BytesOf(programmer.traffic(), sim::TrafficKind::InputReport).size(), 5u);
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
    sim::SimulatedHidProgrammer& programmer = attachHid();
    job.partIndex = GetParam().part;
    job.optionStates[0] = GetParam().checked;
    ASSERT_EQ(UpdateMCU(&job, 0, GetParam().toTarget), RC_OK);
    EXPECT_EQ(sentCommand(programmer)[12], GetParam().optionByte);
}

INSTANTIATE_TEST_SUITE_P(CataloguePositions3And12, IspOptionByteTest,
                         ::testing::Values(OptionCase{3, kKeepIapData, 1, 0xBF},
                                           OptionCase{3, kFzwdtcr, 1, 0x3D},
                                           OptionCase{3, 0, 1, 0xBD}, OptionCase{12, 1, 0, 0xB9},
                                           OptionCase{12, 0, 0, 0xBB}));

TEST_F(UpdateMcuTest, SerialBlockBeyondCodeOnTheWire) {
    sim::SimulatedHidProgrammer& programmer = attachHid();
    code.assign(0x1000, 0x5C);
    job.codeLength = 0x1000;
    job.codeBuffer = code.data();
    setSerialNumbers(0x2000);

    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);

    ASSERT_TRUE(programmer.storedJob());
    const sim::HidProgramJob& stored = *programmer.storedJob();
    const Bytes command(stored.command.begin(), stored.command.end());
    EXPECT_EQ(command[0], 0xC0);
    EXPECT_THAT(Bytes(command.begin() + 5, command.begin() + 9), ElementsAre(0x10, 0x20, 0, 0));
    EXPECT_EQ(command[20], 0x01);
    EXPECT_THAT(Bytes(command.begin() + 23, command.begin() + 31),
                ElementsAre(0x0C, 0x20, 0, 0, 0xE8, 0x03, 0, 0));
    const Bytes& image = stored.image;
    ASSERT_EQ(image.size(), 0x2010u);
    EXPECT_EQ(Bytes(image.begin() + 0x1000, image.begin() + 0x2000), Bytes(0x1000, 0xFF));
    EXPECT_EQ(std::string(image.begin() + 0x2000, image.begin() + 0x200C), "KORVID-UNIT ");
    EXPECT_THAT(Bytes(image.begin() + 0x200C, image.end()), ElementsAre(0, 0, 0, 0));
    EXPECT_EQ(command[9] | command[10] << 8, sum16(image));
    EXPECT_EQ(job.serialAddress, 0x200Cu);
}

TEST_F(UpdateMcuTest, HidFinalRepliesDecideTheResult) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.corruptChecksum = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);

    programmer.options().corruptChecksum = false;
    programmer.options().workingReplies = 1;
    programmer.options().finalReply = 'Q';
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
}

TEST_F(UpdateMcuTest, HidSilenceAfterWorkingIsCommunicationFailure) {
    // Identify out and in, command out, 'A' in, twelve image reports, 'W' in: gone.
    attachHid({.workingReplies = 1, .unplugAfterTransfers = 17});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
}

TEST_F(UpdateMcuTest, HidCommandRefusedSendsNoImage) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.commandAck = 'X'});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
    EXPECT_EQ(hostStream(programmer.traffic()).size(), 62u);
    EXPECT_THAT(programmer.targetFlash(), IsEmpty());
}

TEST_F(UpdateMcuTest, HidCommandUnansweredIsCommunicationFailure) {
    attachHid({.unplugAfterTransfers = 3});  // identify out and in, command out
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);
}

TEST_F(UpdateMcuTest, DetectionResultIsReturnedBeforeAnyCommand) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.firmwareIdentifier = 0x0306});
    setSerialNumbers(0x100);
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_FIRMWARE_MISMATCH);
    EXPECT_EQ(hostStream(programmer.traffic()), identify());
    EXPECT_EQ(job.serialAddress, 0x100u);
}

TEST_F(UpdateMcuTest, NoProgrammerOnEitherLink) {
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_NO_DEVICE);
}

TEST_F(UpdateMcuTest, PipeStoresJobWithHeaderImageAndOneReply) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.workingReplies = 3});
    job.partIndex = 12;
    job.optionStates[0] = 1;
    job.maxCount = 500;
    setSerialNumbers(0x0100);

    ASSERT_EQ(UpdateMCU(&job, 0, 0), RC_OK);

    const std::vector<Bytes> sent = pipeMessages(programmer.traffic());
    ASSERT_GE(sent.size(), 2u);
    EXPECT_THAT(sent[sent.size() - 2],
                ElementsAre(0x5A, 0xA5, 0xB9, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xF4, 0x01, 0x01, 0x0C, 0x01, 0xE8, 0x03, 0x00, 0x00));
    ASSERT_EQ(sent.back().size(), code.size());  // the serial block lies inside the code
    EXPECT_EQ(std::string(sent.back().begin() + 0x100, sent.back().begin() + 0x10C),
              "KORVID-UNIT ");
    EXPECT_EQ(programmer.lastTimeout(), 0xFFFF);
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_EQ(job.serialAddress, 0x010Cu);
}

TEST_F(UpdateMcuTest, PipeProgrammingPollsWhileWorking) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.workingReplies = 2});
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    int replies = 0;
    for (const Bytes& read : sim::BytesOf(programmer.traffic(), sim::TrafficKind::PipeRead)) {
        replies += read.size() == 3;
    }
    EXPECT_EQ(replies, 3);
    EXPECT_EQ(programmer.targetFlash(), code);
}

// A programmer that stays in its working state says so every 100 ms.
TEST_F(UpdateMcuTest, HidWorkingWaitEndsAfterTheLimit) {
    sim::SimulatedHidProgrammer& programmer = attachHid({.stuckWorking = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);

    // Identify answer and 'A', then a 'W' every 100 ms until ten minutes have passed.
    const auto inputs = sim::BytesOf(programmer.traffic(), sim::TrafficKind::InputReport);
    ASSERT_EQ(inputs.size(), 2u + KORVID_WORKING_WAIT_LIMIT_MS / 100);
    EXPECT_EQ(inputs.back()[1], 'W');
    EXPECT_EQ(clock().nowUs(), uint64_t{KORVID_WORKING_WAIT_LIMIT_MS} * 1000);
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(UpdateMcuTest, PipeWorkingWaitEndsAfterTheLimit) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.stuckWorking = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_COMM_FAIL);

    // Every poll costs 100 ms and 800 µs: the wait ends with the first poll past the limit.
    const uint64_t limitUs = uint64_t{KORVID_WORKING_WAIT_LIMIT_MS} * 1000;
    EXPECT_GE(clock().nowUs(), limitUs);
    EXPECT_LT(clock().nowUs(), limitUs + 100800 + 20000);  // + one poll + detection and image
    const auto reads = sim::BytesOf(programmer.traffic(), sim::TrafficKind::PipeRead);
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back().size(), 3u);
    EXPECT_EQ(reads.back()[2], 'U');
    EXPECT_TRUE(programmer.targetFlash().empty());
}

TEST_F(UpdateMcuTest, PipeReplyChecksumIsTestedBeforeStatus) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe({.corruptChecksum = true});
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);
    programmer.options().programStatus = 0xFE;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_CHECKSUM);

    programmer.options().corruptChecksum = false;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_TARGET_LOCKED);
    programmer.options().programStatus = 0x01;
    EXPECT_EQ(UpdateMCU(&job, 0, 1), RC_REFUSED);
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
    sim::SimulatedHidProgrammer& programmer = attachHid();
    ASSERT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_OK);
    const Bytes command = sentCommand(programmer);
    EXPECT_EQ(command[0], 0xC3);
    EXPECT_THAT(Bytes(command.begin() + 1, command.begin() + 5), ElementsAre(0, 0xF0, 0, 0));
    EXPECT_EQ(command[11], 0xD0);  // low byte of 0 - 0x30
    const auto config = catalogue::encodeIcpConfigBytes(
        icpTable[0], job, catalogue::IapBoundaryEncoding::Programming);
    ASSERT_TRUE(config);
    EXPECT_THAT(Bytes(command.begin() + 12, command.begin() + 20), ElementsAreArray(*config));
    EXPECT_EQ(command[12 + 3], 0xF0);  // the IAP boundary page
}

TEST_F(IcpJobTest, AreaOneAndTwoCarryTheirPageOnPipe) {
    sim::SimulatedPipeProgrammer& programmer = attachPipe();
    ASSERT_EQ(programming::updateMcu(&job, true, false, testCatalogue), RC_OK);
    ASSERT_TRUE(programmer.storedJob());
    EXPECT_THAT(
        Bytes(programmer.storedJob()->header.begin(), programmer.storedJob()->header.begin() + 6),
        ElementsAre(0x5A, 0xA5, 0xBB, 0xF2, 0xD0, 0xF0));
    job.programArea = AREA_ISP;
    ASSERT_EQ(programming::updateMcu(&job, true, false, testCatalogue), RC_OK);
    EXPECT_EQ(programmer.storedJob()->areaByte, 0xF8);
}

TEST_F(IcpJobTest, JobsThatCannotBeEncodedAreRefusedWithoutTraffic) {
    sim::SimulatedHidProgrammer& programmer = attachHid();
    job.ispMemoryIndex = 3;  // the list has three items
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    icpTable[0].ispMemoryList = nullptr;
    job.ispMemoryIndex = 0;
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    job.partIndex = 1;  // the sentinel
    EXPECT_EQ(programming::updateMcu(&job, true, true, testCatalogue), RC_REFUSED);
    EXPECT_THAT(programmer.traffic(), IsEmpty());
}

TEST_F(UpdateMcuTest, UnusableJobsAreRefusedWithoutTraffic) {
    sim::SimulatedHidProgrammer& hid = attachHid();
    sim::SimulatedPipeProgrammer& pipe = attachPipe();
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
    EXPECT_THAT(hid.traffic(), IsEmpty());
    EXPECT_THAT(pipe.traffic(), IsEmpty());
}

TEST_F(UpdateMcuTest, EmptyImageIsAcceptedWithoutBuffer) {
    sim::SimulatedHidProgrammer& programmer = attachHid();
    job.codeLength = 0;
    job.codeBuffer = nullptr;
    ASSERT_EQ(UpdateMCU(&job, 0, 1), RC_OK);
    EXPECT_EQ(hostStream(programmer.traffic()).size(), 62u);
}

}  // namespace
}  // namespace korvid::testing
