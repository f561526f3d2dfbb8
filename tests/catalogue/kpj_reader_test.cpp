// Reading projects back: round trips, the checks in their order, malformed files.
#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_reader.h"
#include "catalogue/kpj_writer.h"
#include "catalogue/option_encoding.h"
#include "korvid.h"
#include "kpj_bytes.h"

namespace korvid::catalogue::kpj {
namespace {

using testing::ProjectFields;
using testing::projectFile;

constexpr FooterStamp kStamp = {0xBEEF, 26, 1, 2, 3, 4, 5, 0};

struct ReadResult {
    uint8_t result;
    JobRecord job;
    uint32_t icpFlag;
};

// The record starts out filled with markers, to show which fields are written.
JobRecord markedJob() {
    JobRecord job;
    std::memset(&job, 0x77, sizeof job);
    job.codeBuffer = nullptr;
    return job;
}

ReadResult readInfo(const std::vector<uint8_t>& file,
                    const Catalogue& catalogue = builtInCatalogue()) {
    MemorySource source(file);
    ReadResult read{0, markedJob(), 0x77};
    read.result = readProjectInfo(catalogue, source, read.job, read.icpFlag);
    return read;
}

std::vector<uint8_t> savedFile(const JobRecord& job, bool icp,
                               const Catalogue& catalogue = builtInCatalogue()) {
    const auto footer = buildFooter(catalogue, job, icp, kStamp);
    EXPECT_TRUE(footer);
    std::vector<uint8_t> file(job.codeBuffer, job.codeBuffer + job.codeLength);
    file.insert(file.end(), footer->begin(), footer->end());
    return file;
}

TEST(KpjRoundTrip, EveryPartEveryAreaAndEveryOptionSettingReadsBack) {
    const std::span<const PartEntry> parts = builtInCatalogue().entries(false);
    std::vector<uint8_t> code = {0x75, 0x81, 0x30, 0x80, 0xFE};
    for (int32_t index = 0; index < static_cast<int32_t>(parts.size()); ++index) {
        const uint64_t combinations = uint64_t{1} << parts[index].optionCount;
        for (uint32_t area = AREA_AP; area <= AREA_WHOLE_CHIP; ++area) {
            for (uint64_t states = 0; states < combinations; ++states) {
                JobRecord job{};
                std::strcpy(job.codeName, parts[index].name);
                job.partIndex = index;
                job.programArea = area;
                setOptionStates(job, states);
                job.codeLength = static_cast<uint32_t>(code.size());
                job.codeBuffer = code.data();
                const ReadResult read = readInfo(savedFile(job, false));
                ASSERT_EQ(read.result, RC_OK) << parts[index].name;
                EXPECT_STREQ(read.job.codeName, parts[index].name);
                EXPECT_EQ(read.job.partIndex,
                          *builtInCatalogue().findDeviceCode(
                              false, static_cast<uint16_t>(parts[index].deviceCode),
                              static_cast<uint32_t>(code.size())));
                EXPECT_EQ(read.job.programArea, area);
                EXPECT_EQ(optionStates(read.job), states);
                EXPECT_EQ(read.job.codeLength, code.size());
                EXPECT_EQ(read.icpFlag, 0u);
                // ISP projects leave the ICP settings alone.
                EXPECT_EQ(read.job.ispMemoryIndex, 0x77777777u);
                EXPECT_EQ(read.job.iapMemoryIndex, 0x77777777u);
                EXPECT_EQ(read.job.hwOptions, 0x77777777u);
            }
        }
    }
}

TEST(KpjRoundTrip, SharedDeviceCodesLoadAsTheFirstPartWithTheCode) {
    std::vector<uint8_t> code = {1};
    for (auto [saved, loaded] : {std::pair{42, 37}, std::pair{43, 39}}) {  // B17->B13, B18->B15
        JobRecord job{};
        job.partIndex = saved;
        job.codeLength = 1;
        job.codeBuffer = code.data();
        EXPECT_EQ(readInfo(savedFile(job, false)).job.partIndex, loaded);
    }
}

// Every footer field comes back as the writer stored it, from the same reading.
TEST(KpjRoundTrip, FooterFieldsComeBackAsStored) {
    std::vector<uint8_t> code = {0x02, 0x00, 0x03, 0x80, 0xFE};
    JobRecord job{};
    std::strcpy(job.codeName, "blink.hex");
    job.partIndex = 43;  // Part B18
    job.programArea = AREA_AP_IAP;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    const std::vector<uint8_t> file = savedFile(job, false);
    MemorySource source(file);
    JobRecord read = markedJob();
    uint32_t icpFlag = 7;
    KorvidProjectFooter footer{};
    ASSERT_EQ(readProjectInfo(builtInCatalogue(), source, read, icpFlag, &footer), RC_OK);
    EXPECT_EQ(footer.codeLength, 5u);
    EXPECT_EQ(footer.codeSum, 0x0183);
    EXPECT_EQ(footer.deviceCode, 0x35);
    EXPECT_EQ(footer.randomWord, kStamp.randomWord);
    EXPECT_EQ(footer.programmerIdentifier, kStamp.programmerIdentifier);
    EXPECT_EQ(footer.version, kApVersion);
    EXPECT_EQ(footer.footerLength, file.size() - code.size());
    EXPECT_EQ(footer.footerSum, (file[file.size() - 4] << 8) | file[file.size() - 3]);
    EXPECT_EQ(footer.programArea, AREA_AP_IAP + 1);
    EXPECT_EQ(footer.constant, 8);
    EXPECT_EQ(footer.toolCode, 3);
    EXPECT_EQ(std::vector<uint8_t>(footer.written, footer.written + 6),
              (std::vector<uint8_t>{26, 1, 2, 3, 4, 5}));
    EXPECT_EQ(footer.partsWithDeviceCode[0], 0u);
    EXPECT_EQ(footer.partsWithDeviceCode[1], (1u << (39 - 32)) | (1u << (43 - 32)));
    EXPECT_STREQ(footer.magic, "Vostrel. ISP-ICP");
    EXPECT_EQ(footer.codeNameLength, 9);
    EXPECT_STREQ(footer.codeName, "blink.hex");
    EXPECT_EQ(read.partIndex, 39);  // five bytes: Part B15, the first with the code, holds them
}

// A project of Part B17 or B18 whose code only their flash holds loads as that part,
// not as the first with the code (whose flash would cut it); files are unchanged.
TEST(KpjRoundTrip, SharedDeviceCodesLoadAsThePartWhoseFlashHoldsTheCode) {
    for (auto [saved, bytes] : {std::pair{42, 0x2000}, std::pair{43, 0x8000}}) {
        std::vector<uint8_t> code(bytes, 0x5A);
        JobRecord job{};
        job.partIndex = saved;
        job.codeLength = static_cast<uint32_t>(code.size());
        job.codeBuffer = code.data();
        const ReadResult read = readInfo(savedFile(job, false));
        ASSERT_EQ(read.result, RC_OK);
        EXPECT_EQ(read.job.partIndex, saved);
    }
}

TEST(KpjRoundTrip, IcpProjectsBringBackMemoryChoicesAndHardwareSettings) {
    PartEntry icp[2] = {};
    icp[0].name = "ICP Test";
    icp[0].deviceCode = 0x0150;
    icp[0].flashSize = 0x10000;
    icp[0].ispMemoryList = "0,400,800,1000";
    icp[0].ispMemoryField = {0, 0xF9};
    icp[0].hwwidlField = {1, 0xEF};
    icp[0].hwpsField = {1, 0x1F};
    icp[0].iapBoundaryByte = 2;
    icp[0].optionCount = 2;
    icp[0].options[0] = {0, 0x80, "OPTA\0a"};
    icp[0].options[1] = {6, 0x01, "OPTB\0b"};
    icp[1].name = "NoBody";
    const Catalogue catalogue(icp + 1, icp);
    std::vector<uint8_t> code(40, 0x33);
    JobRecord job{};
    std::strcpy(job.codeName, "icp.hex");
    job.programArea = AREA_WHOLE_CHIP;
    job.ispMemoryIndex = 3;
    job.iapMemoryIndex = 6;
    job.hwOptions = 1 | (6 << 1);
    setOptionStates(job, 0b10);
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    const std::vector<uint8_t> file = savedFile(job, true, catalogue);
    EXPECT_EQ(file[file.size() - 28], 0xBF);
    const ReadResult read = readInfo(file, catalogue);
    ASSERT_EQ(read.result, RC_OK);
    EXPECT_EQ(read.icpFlag, 1u);
    EXPECT_EQ(read.job.partIndex, 0);
    EXPECT_EQ(read.job.programArea, AREA_WHOLE_CHIP);
    EXPECT_EQ(read.job.ispMemoryIndex, 3u);
    EXPECT_EQ(read.job.iapMemoryIndex, 6u);
    EXPECT_EQ(read.job.hwOptions & 0xF, 1u | (6 << 1));
    EXPECT_EQ(optionStates(read.job), 0b10u);
    EXPECT_STREQ(read.job.codeName, "icp.hex");
}

ProjectFields goodFields() {
    ProjectFields fields;
    fields.code = {0x02, 0x01, 0x00, 0x22};
    fields.name = "code.bin";
    fields.deviceCode = 0x0B;  // Part C1
    fields.ispOptionByte = 0xBD;
    fields.storedArea = 2;
    return fields;
}

uint8_t resultOf(const ProjectFields& fields) {
    return readInfo(projectFile(fields)).result;
}

TEST(KpjReader, AcceptsAProjectBuiltFromTheFormat) {
    const ReadResult read = readInfo(projectFile(goodFields()));
    ASSERT_EQ(read.result, RC_OK);
    EXPECT_STREQ(read.job.codeName, "code.bin");
    EXPECT_EQ(read.job.partIndex, 10);
    EXPECT_EQ(read.job.programArea, AREA_IAP);
    EXPECT_EQ(optionStates(read.job), 1u);
    EXPECT_EQ(read.job.codeLength, 4u);
}

TEST(KpjReader, VersionsFrom0520To0710AreAccepted) {
    for (auto [version, expected] : {std::pair<uint16_t, uint8_t>{0x0520, RC_OK},
                                     {0x0710, RC_OK},
                                     {0x051F, RC_KPJ_VERSION},
                                     {0x0711, RC_KPJ_VERSION},
                                     {0x0000, RC_KPJ_VERSION}}) {
        ProjectFields fields = goodFields();
        fields.version = version;
        EXPECT_EQ(resultOf(fields), expected) << std::hex << version;
    }
}

TEST(KpjReader, EachCheckGivesItsCode) {
    ProjectFields fields = goodFields();
    fields.footerSumDelta = 1;
    EXPECT_EQ(resultOf(fields), RC_KPJ_FOOTER_SUM);
    fields = goodFields();
    fields.toolCode = 4;
    EXPECT_EQ(resultOf(fields), RC_KPJ_TOOL);
    fields = goodFields();
    fields.codeLengthDelta = -1;
    EXPECT_EQ(resultOf(fields), RC_KPJ_CODE_LENGTH);
    fields = goodFields();
    fields.codeSumDelta = 1;
    EXPECT_EQ(resultOf(fields), RC_KPJ_CODE_SUM);
    fields = goodFields();
    fields.magic = "Vostrel. ISP-ICQ";
    EXPECT_EQ(resultOf(fields), RC_KPJ_MAGIC);
}

TEST(KpjReader, ChangingOneCodeByteFailsTheCodeSumWhileTheFooterStillChecks) {
    std::vector<uint8_t> file = projectFile(goodFields());
    file[1] ^= 0x40;
    EXPECT_EQ(readInfo(file).result, RC_KPJ_CODE_SUM);
}

TEST(KpjReader, ChecksRunInTheirOrder) {
    ProjectFields fields = goodFields();
    fields.magic = "not a project...";
    fields.codeSumDelta = 1;
    EXPECT_EQ(resultOf(fields), RC_KPJ_CODE_SUM);
    fields.codeLengthDelta = 1;
    EXPECT_EQ(resultOf(fields), RC_KPJ_CODE_LENGTH);
    fields.version = 0x0800;
    EXPECT_EQ(resultOf(fields), RC_KPJ_VERSION);
    fields.toolCode = 0;
    EXPECT_EQ(resultOf(fields), RC_KPJ_TOOL);
    fields.footerSumDelta = 7;
    EXPECT_EQ(resultOf(fields), RC_KPJ_FOOTER_SUM);
}

TEST(KpjReader, ProjectsThisCatalogueCannotRepresentAreRefused) {
    ProjectFields fields = goodFields();
    fields.deviceCode = 0x0A;  // no ISP part has it
    ReadResult read = readInfo(projectFile(fields));
    EXPECT_EQ(read.result, RC_KPJ_TOOL);
    EXPECT_EQ(read.job.partIndex, 0x77777777);  // never set to a part that is not there
    EXPECT_EQ(read.icpFlag, 0u);

    fields.deviceCode = 0x0150;  // an ICP code: the ICP catalogue is empty
    read = readInfo(projectFile(fields));
    EXPECT_EQ(read.result, RC_KPJ_TOOL);
    EXPECT_EQ(read.icpFlag, 1u);  // written once the version check has passed

    for (uint8_t storedArea : {0, 6, 0xFF}) {
        fields = goodFields();
        fields.storedArea = storedArea;
        read = readInfo(projectFile(fields));
        EXPECT_EQ(read.result, RC_KPJ_TOOL);
        EXPECT_EQ(read.icpFlag, 0u);
    }
}

TEST(KpjReader, IcpFlagIsNotWrittenBeforeTheVersionCheckPasses) {
    ProjectFields fields = goodFields();
    fields.version = 0x0400;
    EXPECT_EQ(readInfo(projectFile(fields)).icpFlag, 0x77u);
}

// Rewrites the footer sum of a (possibly altered) project whose footer is F bytes.
void resum(std::vector<uint8_t>& file, size_t footerLength) {
    const size_t start = file.size() - footerLength;
    uint32_t sum = 0;
    for (size_t at = start; at < file.size(); ++at) {
        sum += (at == file.size() - 4 || at == file.size() - 3) ? 0 : file[at];
    }
    file[file.size() - 4] = static_cast<uint8_t>(sum >> 8);
    file[file.size() - 3] = static_cast<uint8_t>(sum);
}

TEST(KpjReader, MalformedFilesAreRefusedWithoutReadingOutsideThem) {
    const std::vector<uint8_t> good = projectFile(goodFields());
    const size_t footerLength = good.size() - 4;
    EXPECT_EQ(readInfo({}).result, RC_KPJ_FOOTER_SUM);
    EXPECT_EQ(readInfo({0x35}).result, RC_KPJ_FOOTER_SUM);
    EXPECT_EQ(readInfo({0x00, 0x35}).result, RC_KPJ_FOOTER_SUM);

    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_EQ(readInfo(truncated).result, RC_KPJ_FOOTER_SUM);
    std::vector<uint8_t> headless(good.begin() + 1, good.end());
    EXPECT_EQ(readInfo(headless).result, RC_KPJ_CODE_LENGTH);
    std::vector<uint8_t> footerOnly(good.end() - 53, good.end());
    EXPECT_EQ(readInfo(footerOnly).result, RC_KPJ_FOOTER_SUM);

    for (uint16_t length : {0xFFFF, 52, 0, 1}) {
        std::vector<uint8_t> file = good;
        file[file.size() - 2] = static_cast<uint8_t>(length >> 8);
        file[file.size() - 1] = static_cast<uint8_t>(length);
        EXPECT_EQ(readInfo(file).result, RC_KPJ_FOOTER_SUM) << length;
    }
    std::vector<uint8_t> longer = good;  // footer length = file size + 1
    longer[longer.size() - 1] = static_cast<uint8_t>(good.size() + 1);
    EXPECT_EQ(readInfo(longer).result, RC_KPJ_FOOTER_SUM);

    // A name length that runs into the fixed fields, even with a correct footer sum.
    std::vector<uint8_t> longName = good;
    longName[good.size() - footerLength + 16] = 9;
    resum(longName, footerLength);
    EXPECT_EQ(readInfo(longName).result, RC_KPJ_FOOTER_SUM);
    longName[good.size() - footerLength + 16] = 0xFF;
    resum(longName, footerLength);
    EXPECT_EQ(readInfo(longName).result, RC_KPJ_FOOTER_SUM);
}

TEST(KpjReader, CodeIsCopiedIntoABufferOfExactlyItsLength) {
    const ProjectFields fields = goodFields();
    const std::vector<uint8_t> file = projectFile(fields);
    MemorySource source(file);
    std::vector<uint8_t> buffer(4, 0);
    EXPECT_EQ(readProjectCode(source, buffer), RC_OK);
    EXPECT_EQ(buffer, fields.code);
    std::vector<uint8_t> small(3, 0xAA);
    EXPECT_EQ(readProjectCode(source, small), RC_KPJ_CODE_LENGTH);
    EXPECT_EQ(small, std::vector<uint8_t>(3, 0xAA));

    ProjectFields broken = goodFields();
    broken.footerSumDelta = 2;
    const std::vector<uint8_t> brokenFile = projectFile(broken);
    MemorySource brokenSource(brokenFile);
    EXPECT_EQ(readProjectCode(brokenSource, buffer), RC_KPJ_FOOTER_SUM);
}

}  // namespace
}  // namespace korvid::catalogue::kpj
