// The footer the writer builds, and the file SaveKPJ writes, against the format.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_writer.h"
#include "korvid.h"
#include "kpj_bytes.h"
#include "link/programmer_identifier.h"
#include "scratch_folder.h"

namespace korvid::catalogue::kpj {
namespace {

using testing::ProjectFields;

constexpr FooterStamp kStamp = {0x1234, 26, 12, 8, 1, 50, 0, 0x0603};

JobRecord ispJob(int32_t partIndex, const char* name, std::vector<uint8_t>& code) {
    JobRecord job{};
    std::strncpy(job.codeName, name, sizeof job.codeName - 1);
    job.partIndex = partIndex;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    return job;
}

std::vector<uint8_t> footerOf(const JobRecord& job, bool icp = false,
                              const Catalogue& catalogue = builtInCatalogue()) {
    auto footer = buildFooter(catalogue, job, icp, kStamp);
    EXPECT_TRUE(footer);
    return footer.value_or(std::vector<uint8_t>{});
}

std::vector<uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(KpjWriter, SavedFileMatchesTheFormatFieldByField) {
    ScratchFolder folder;
    std::vector<uint8_t> code = {0x02, 0x00, 0x30, 0xFF, 0xE4, 0x80, 0xFE};
    JobRecord job = ispJob(19, "blink.hex", code);  // Part F1, device code 0x16
    job.programArea = AREA_AP_IAP;
    job.optionStates[0] = 1;  // "ENROSC" (0x20) checked, "KEEP IAP-DATA" not
    link::setProgrammerIdentifier(0x0551);
    const auto path = folder.path() / "blink.kpj";
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &job, 0), RC_OK);
    link::setProgrammerIdentifier(0);

    ProjectFields fields;
    fields.code = code;
    fields.name = "blink.hex";
    fields.deviceCode = 0x16;
    fields.ispOptionByte = 0x9F;
    fields.storedArea = 4;
    fields.programmerIdentifier = 0x0551;
    std::vector<uint8_t> expected = testing::projectFile(fields);
    const std::vector<uint8_t> written = readAll(path);
    ASSERT_EQ(written.size(), expected.size());

    // Random word and time stamp are the writer's own; take them over and re-sum.
    const size_t footerEnd = expected.size();
    std::copy(written.end() - 17, written.end() - 9, expected.end() - 17);
    uint32_t sum = 0;
    for (size_t at = code.size(); at < footerEnd; ++at) {
        sum += (at == footerEnd - 4 || at == footerEnd - 3) ? 0 : expected[at];
    }
    expected[footerEnd - 4] = static_cast<uint8_t>(sum >> 8);
    expected[footerEnd - 3] = static_cast<uint8_t>(sum);
    EXPECT_EQ(written, expected);
}

TEST(KpjWriter, FooterLengthFollowsTheCodeName) {
    std::vector<uint8_t> code = {1, 2, 3};
    const auto empty = footerOf(ispJob(10, "", code));
    ASSERT_EQ(empty.size(), 53u);
    EXPECT_EQ(empty[51], 0x00);
    EXPECT_EQ(empty[52], 0x35);

    const auto three = footerOf(ispJob(10, "abc", code));
    ASSERT_EQ(three.size(), 56u);
    EXPECT_EQ(three[16], 3);
    EXPECT_EQ(std::memcmp(&three[17], "abc", 3), 0);
    EXPECT_EQ(std::vector<uint8_t>(three.begin() + 20, three.begin() + 24),
              (std::vector<uint8_t>{0, 0, 0, 3}));
    EXPECT_EQ(three[54], 0x00);
    EXPECT_EQ(three[55], 0x38);
}

TEST(KpjWriter, NamesBeyondWhatTheFooterHoldsAreCutTo255) {
    std::vector<uint8_t> code;
    JobRecord job = ispJob(10, "", code);
    std::memset(job.codeName, 'n', sizeof job.codeName);  // not even terminated
    const auto footer = footerOf(job);
    ASSERT_EQ(footer.size(), 53u + 255u);
    EXPECT_EQ(footer[16], 255);
    EXPECT_EQ(footer[footer.size() - 2], 0x01);
    EXPECT_EQ(footer[footer.size() - 1], 0x34);
}

TEST(KpjWriter, TheCutTo255NeverSplitsACharacter) {
    std::vector<uint8_t> code;
    // Code page 936: "nn" and 128 double-byte characters (258 bytes); byte 255 would
    // be the second half of one.
    std::string cp936 = "nn";
    for (int i = 0; i < 128; ++i) {
        cp936 += "\xB2\xE2";
    }
    const auto footer = footerOf(ispJob(10, cp936.c_str(), code));
    EXPECT_EQ(footer[16], 254);
    EXPECT_EQ(std::string(footer.begin() + 17, footer.begin() + 17 + 254), cp936.substr(0, 254));

    // UTF-8 (as earlier versions stored names): "n" and 86 three-byte characters.
    std::string utf8 = "n";
    for (int i = 0; i < 86; ++i) {
        utf8 += "\xE6\xB5\x8B";
    }
    const auto cut = footerOf(ispJob(10, utf8.c_str(), code));
    EXPECT_EQ(cut[16], 253);
    EXPECT_EQ(std::string(cut.begin() + 17, cut.begin() + 17 + 253), utf8.substr(0, 253));
}

TEST(KpjWriter, EmptyCodeGivesZeroLengthAndSum) {
    std::vector<uint8_t> code;
    JobRecord job = ispJob(10, "x", code);
    job.codeBuffer = nullptr;
    const auto footer = footerOf(job);
    const size_t f = footer.size();
    EXPECT_EQ(std::vector<uint8_t>(footer.end() - 36, footer.end() - 30),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f, 54u);
}

TEST(KpjWriter, AreaIsStoredPlusOneAndIspJobsHaveNoConfigurationBytes) {
    std::vector<uint8_t> code = {0xAA};
    for (uint32_t area = AREA_AP; area <= AREA_WHOLE_CHIP; ++area) {
        JobRecord job = ispJob(0, "a", code);
        job.programArea = area;
        const auto footer = footerOf(job);
        EXPECT_EQ(footer[footer.size() - 27], area + 1);
        EXPECT_EQ(footer[footer.size() - 26], 8);
        EXPECT_EQ(std::vector<uint8_t>(footer.end() - 25, footer.end() - 17),
                  std::vector<uint8_t>(8, 0xFF));
    }
}

TEST(KpjWriter, IcpJobsKeepTheIspOptionByteAtItsStart) {
    PartEntry icp[2] = {};
    icp[0].name = "ICP Test";
    icp[0].deviceCode = 0x0150;
    icp[0].flashSize = 0x8000;
    icp[0].ispMemoryList = "0,800";
    icp[0].ispMemoryField = {0, 0xFC};
    icp[0].hwwidlField = icp[0].hwpsField = {0, 0xFF};
    icp[0].iapBoundaryByte = 1;
    icp[1].name = "NoBody";
    const Catalogue catalogue(icp + 1, icp);
    std::vector<uint8_t> code = {0x11};
    JobRecord job = ispJob(0, "i", code);
    job.ispMemoryIndex = 1;
    job.iapMemoryIndex = 2;
    const auto footer = footerOf(job, true, catalogue);
    const size_t f = footer.size();
    EXPECT_EQ(footer[f - 30], 0x01);  // device code 0x0150, big-endian
    EXPECT_EQ(footer[f - 29], 0x50);
    EXPECT_EQ(footer[f - 28], 0xBF);
    // Field 3 - 1 = 2 in bits 0..1; boundary 0x8000 - 0x800 - 0x400 = 0x7400.
    EXPECT_EQ(std::vector<uint8_t>(footer.end() - 25, footer.end() - 17),
              (std::vector<uint8_t>{0xFE, 0x74, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(KpjWriter, JobsTheFooterCannotDescribeAreRefusedWithoutTouchingTheFile) {
    ScratchFolder folder;
    std::vector<uint8_t> code = {1};
    const auto path = folder.path() / "refused.kpj";
    for (int32_t partIndex : {-1, 44}) {
        JobRecord job = ispJob(partIndex, "r", code);
        EXPECT_EQ(SaveKPJ(path.string().c_str(), &job, 0), RC_REFUSED);
    }
    JobRecord badArea = ispJob(0, "r", code);
    badArea.programArea = 5;
    EXPECT_EQ(SaveKPJ(path.string().c_str(), &badArea, 0), RC_REFUSED);
    JobRecord noBuffer = ispJob(0, "r", code);
    noBuffer.codeBuffer = nullptr;
    EXPECT_EQ(SaveKPJ(path.string().c_str(), &noBuffer, 0), RC_REFUSED);
    JobRecord icp = ispJob(0, "r", code);  // the ICP catalogue is empty
    EXPECT_EQ(SaveKPJ(path.string().c_str(), &icp, 1), RC_REFUSED);
    EXPECT_EQ(SaveKPJ(path.string().c_str(), nullptr, 0), RC_REFUSED);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(KpjWriter, TwoSavesDifferOnlyInTheInformationalFields) {
    ScratchFolder folder;
    std::vector<uint8_t> code(300, 0x5A);
    JobRecord job = ispJob(3, "same", code);
    const auto first = folder.path() / "first.kpj";
    const auto second = folder.path() / "second.kpj";
    link::setProgrammerIdentifier(0);
    ASSERT_EQ(SaveKPJ(first.string().c_str(), &job, 0), RC_OK);
    link::setProgrammerIdentifier(0x0603);
    ASSERT_EQ(SaveKPJ(second.string().c_str(), &job, 0), RC_OK);
    link::setProgrammerIdentifier(0);
    const auto a = readAll(first);
    const auto b = readAll(second);
    ASSERT_EQ(a.size(), b.size());
    const size_t end = a.size();
    EXPECT_EQ(a[end - 9], 0x00);  // no programmer detected yet
    EXPECT_EQ(a[end - 8], 0x00);
    EXPECT_EQ(b[end - 9], 0x06);
    EXPECT_EQ(b[end - 8], 0x03);
    for (size_t at = 0; at < end; ++at) {
        const size_t back = end - at;
        const bool informational = (back <= 17 && back >= 8) || back == 4 || back == 3;
        if (!informational) {
            EXPECT_EQ(a[at], b[at]) << "at " << back << " from the end";
        }
    }
}

TEST(KpjWriter, StampTakesTheRandomProductAndTheLocalTime) {
    std::srand(77);
    const uint32_t first = static_cast<uint32_t>(std::rand());
    const uint32_t second = static_cast<uint32_t>(std::rand());
    std::srand(77);
    link::setProgrammerIdentifier(0x0551);
    const FooterStamp stamp = currentFooterStamp();
    link::setProgrammerIdentifier(0);
    EXPECT_EQ(stamp.randomWord, static_cast<uint16_t>(first * second));
    EXPECT_EQ(stamp.programmerIdentifier, 0x0551);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(stamp.year, (local.tm_year + 1900) % 100);
    EXPECT_GE(stamp.month, 1);
    EXPECT_LE(stamp.month, 12);
    EXPECT_LE(stamp.hour, 23);
    EXPECT_LE(stamp.second, 60);
}

}  // namespace
}  // namespace korvid::catalogue::kpj
