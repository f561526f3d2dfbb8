// The bytes of the programming command, the pipe header, the code image and the
// firmware-update feature reports, built by their small functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "programming/code_image.h"
#include "programming/feature_reports.h"
#include "programming/program_command.h"

namespace korvid::programming {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Eq;

ProgramFields ispFields() {
    ProgramFields f;
    f.toTarget = true;
    f.partIndex = 3;
    f.part.ispOptionByte = 0x3D;
    f.imageLength = 0x00012010;
    f.checksum = 0xBEEF;
    f.serialFlags = 0x03;
    f.maxCount = 0x1234;
    f.serialAddress = 0x0001200C;
    f.serialNumber = 0xA1B2C3D4;
    return f;
}

ProgramFields icpFields(uint32_t area) {
    ProgramFields f = ispFields();
    f.icp = true;
    f.partIndex = 0x31;
    f.programArea = area;
    f.part.icpConfigBytes = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
    f.part.ispStart = 0x0000F000;
    f.part.iapStart = 0x0000E400;
    return f;
}

TEST(ProgramCommand, IspCommandCarriesOptionByteAndFillsIcpFields) {
    EXPECT_THAT(buildProgramCommand(ispFields()),
                ElementsAre(0xC1, 0, 0, 0, 0, 0x10, 0x20, 0x01, 0x00, 0xEF, 0xBE, 0xFF, 0x3D, 0xFF,
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x34, 0x12, 0x0C, 0x20, 0x01,
                            0x00, 0xD4, 0xC3, 0xB2, 0xA1));
    ProgramFields store = ispFields();
    store.toTarget = false;
    EXPECT_EQ(buildProgramCommand(store)[0], 0xC0);
}

TEST(ProgramCommand, IcpCommandCarriesAreaStartPartAndConfigBytes) {
    EXPECT_THAT(buildProgramCommand(icpFields(AREA_IAP)),
                ElementsAre(0xC3, 0x00, 0xE4, 0x00, 0x00, 0x10, 0x20, 0x01, 0x00, 0xEF, 0xBE, 0x01,
                            0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x03, 0x34, 0x12, 0x0C,
                            0x20, 0x01, 0x00, 0xD4, 0xC3, 0xB2, 0xA1));
    ProgramFields isp = icpFields(AREA_ISP);
    isp.toTarget = false;
    const ProgramCommand command = buildProgramCommand(isp);
    EXPECT_EQ(command[0], 0xC2);
    EXPECT_THAT(std::vector(command.begin() + 1, command.begin() + 5),
                ElementsAre(0x00, 0xF0, 0x00, 0x00));
    for (uint32_t area : {0u, 3u, 4u, 7u}) {
        const ProgramCommand other = buildProgramCommand(icpFields(area));
        EXPECT_THAT(std::vector(other.begin() + 1, other.begin() + 5), Each(Eq(0))) << area;
    }
}

TEST(ProgramCommand, OnlyTwoSerialFlagBitsTravel) {
    ProgramFields f = ispFields();
    f.serialFlags = 0xFE;
    EXPECT_EQ(buildProgramCommand(f)[20], 0x02);
    EXPECT_EQ(buildPipeProgramHeader(f)[16], 0x02);
}

TEST(PipeProgramHeader, IspHeader) {
    EXPECT_THAT(buildPipeProgramHeader(ispFields()),
                ElementsAre(0x5A, 0xA5, 0x3D, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0x34, 0x12, 0x03, 0x0C, 0x20, 0xD4, 0xC3, 0xB2, 0xA1));
}

TEST(PipeProgramHeader, IcpHeaderCarriesStartValuePartAreaPageAndConfigBytes) {
    EXPECT_THAT(buildPipeProgramHeader(icpFields(AREA_IAP)),
                ElementsAre(0x5A, 0xA5, 0xBF, 0xF2, 0x01, 0xE4, 0x10, 0x21, 0x32, 0x43, 0x54, 0x65,
                            0x76, 0x87, 0x34, 0x12, 0x03, 0x0C, 0x20, 0xD4, 0xC3, 0xB2, 0xA1));
    ProgramFields store = icpFields(AREA_ISP);
    store.toTarget = false;
    const PipeProgramHeader header = buildPipeProgramHeader(store);
    EXPECT_EQ(header[2], 0xBB);
    EXPECT_EQ(header[5], 0xF0);
    for (uint32_t area : {0u, 3u, 4u}) {
        EXPECT_EQ(buildPipeProgramHeader(icpFields(area))[5], 0x00) << area;
    }
    EXPECT_EQ(buildPipeProgramHeader(icpFields(5))[5], 0xFF);
}

TEST(PipeProgramHeader, PartByteIsLowByteOfIndexBelow0x30) {
    ProgramFields f = icpFields(AREA_AP);
    f.partIndex = 0;
    EXPECT_EQ(buildPipeProgramHeader(f)[4], 0xD0);
    EXPECT_EQ(buildProgramCommand(f)[11], 0xD0);
}

struct ImageJob {
    std::vector<uint8_t> code;
    JobRecord job{};

    ImageJob(uint32_t codeBytes, uint32_t serialFlags, uint32_t serialAddress)
        : code(codeBytes, 0x11) {
        job.codeLength = codeBytes;
        job.codeBuffer = code.data();
        job.serialFlags = serialFlags;
        job.serialAddress = serialAddress;
        std::memcpy(job.serialText, "SN-000042   ", KORVID_SERIAL_TEXT_SIZE);
    }
};

TEST(CodeImage, SerialBlockBeyondCodeExtendsImageAndAdvancesAddress) {
    ImageJob j(0x1000, 0x01, 0x2000);
    const auto length = codeImageLength(j.job);
    ASSERT_EQ(length, 0x2010u);
    const std::vector<uint8_t> image = buildCodeImage(j.job, *length);
    ASSERT_EQ(image.size(), 0x2010u);
    EXPECT_THAT(std::vector(image.begin(), image.begin() + 0x1000), Each(Eq(0x11)));
    EXPECT_THAT(std::vector(image.begin() + 0x1000, image.begin() + 0x2000), Each(Eq(0xFF)));
    EXPECT_EQ(std::string(image.begin() + 0x2000, image.begin() + 0x200C), "SN-000042   ");
    EXPECT_THAT(std::vector(image.begin() + 0x200C, image.end()), ElementsAre(0, 0, 0, 0));
    EXPECT_EQ(j.job.serialAddress, 0x200Cu);
}

TEST(CodeImage, SerialBlockInsideCodeOverwritesCode) {
    ImageJob j(0x100, 0x03, 0x10);
    const auto length = codeImageLength(j.job);
    ASSERT_EQ(length, 0x100u);
    const std::vector<uint8_t> image = buildCodeImage(j.job, *length);
    EXPECT_EQ(image[0x0F], 0x11);
    EXPECT_EQ(image[0x10], 'S');
    EXPECT_THAT(std::vector(image.begin() + 0x1C, image.begin() + 0x21),
                ElementsAre(0, 0, 0, 0, 0x11));
    EXPECT_EQ(j.job.serialAddress, 0x1Cu);
}

TEST(CodeImage, WithoutSerialNumbersImageIsCodeAndAddressStays) {
    ImageJob j(3, 0x02, 0x2000);
    ASSERT_EQ(codeImageLength(j.job), 3u);
    EXPECT_THAT(buildCodeImage(j.job, 3), ElementsAre(0x11, 0x11, 0x11));
    EXPECT_EQ(j.job.serialAddress, 0x2000u);
}

TEST(CodeImage, EmptyJobWithoutBufferGivesEmptyImage) {
    JobRecord job{};
    ASSERT_EQ(codeImageLength(job), 0u);
    EXPECT_TRUE(buildCodeImage(job, 0).empty());
}

TEST(CodeImage, SerialBlockEndBeyond32BitsIsRefused) {
    ImageJob j(0x10, 0x01, 0xFFFFFFF1);
    EXPECT_EQ(codeImageLength(j.job), std::nullopt);
    j.job.serialAddress = 0xFFFFFFEF;
    EXPECT_EQ(codeImageLength(j.job), 0xFFFFFFFFu);
}

TEST(FeatureReports, SizeAnnouncementIsMostSignificantFirst) {
    const FeatureReport r = sizeAnnouncementReport(13796);
    EXPECT_THAT(std::vector(r.begin(), r.begin() + 9),
                ElementsAre(0x00, 0x33, 0x00, 0x00, 0x00, 0x00, 0x35, 0xE4, 0x00));
    EXPECT_THAT(std::vector(r.begin() + 9, r.end()), Each(Eq(0)));
}

TEST(FeatureReports, DataReportCarriesChunkThenZeros) {
    const std::vector<uint8_t> chunk(36, 0xA5);
    const FeatureReport r = dataReport(chunk);
    EXPECT_EQ(r[0], 0x00);
    EXPECT_THAT(std::vector(r.begin() + 1, r.begin() + 37), Each(Eq(0xA5)));
    EXPECT_THAT(std::vector(r.begin() + 37, r.end()), Each(Eq(0)));
    const std::vector<uint8_t> tooLong(100, 0x5A);
    const FeatureReport full = dataReport(tooLong);
    EXPECT_THAT(std::vector(full.begin() + 1, full.end()), Each(Eq(0x5A)));
}

TEST(FeatureReports, QueryRestartAndAnswer) {
    FeatureReport query{};
    query[1] = 0x22;
    query[7] = 0x02;
    EXPECT_EQ(checksumQueryReport(), query);
    FeatureReport restart{};
    restart[1] = 0x44;
    EXPECT_EQ(restartRequestReport(), restart);
    FeatureReport answer{};
    answer[1] = 0x12;
    answer[2] = 0x34;
    EXPECT_EQ(checksumFromAnswer(answer), 0x1234);
}

}  // namespace
}  // namespace korvid::programming
