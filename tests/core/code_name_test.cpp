// The code name a load gives the job, and how a stored name is shown.
#include "code_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace korvid::core {
namespace {

const std::string kTestProgramCp936 = "\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2.hex";  // 测试程序.hex

std::string Repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

TEST(CodeName, IsTheFileNameInCodePage936) {
    EXPECT_EQ(CodeNameOfPath("/home/li/固件/测试程序.hex"), kTestProgramCp936);
    EXPECT_EQ(CodeNameOfPath("测试程序.hex"), kTestProgramCp936);
    EXPECT_EQ(CodeNameOfPath("build/blink.hex"), "blink.hex");
    EXPECT_EQ(CodeNameOfPath("固件/v2 测试.bin"), "v2 \xB2\xE2\xCA\xD4.bin");
    EXPECT_EQ(CodeNameOfPath("dir/"), "");
    EXPECT_EQ(CodeNameOfPath("a\xED\x95\x9C"
                             "b\xF0\x9F\x98\x80"
                             "c.hex"),
              "a?b?c.hex");
}

TEST(CodeName, IsCutAtEverySeparatorOfTheSystem) {
#if defined(_WIN32)
    EXPECT_EQ(CodeNameOfPath("Z:\\tmp\\固件 目录\\测试程序.hex"), kTestProgramCp936);
    EXPECT_EQ(CodeNameOfPath("C:测试程序.hex"), kTestProgramCp936);
    EXPECT_EQ(CodeNameOfPath("\\\\server\\share/dir\\blink.hex"), "blink.hex");
#else
    // A backslash or a colon is part of a Linux file name.
    EXPECT_EQ(CodeNameOfPath("/tmp/a\\b:c.hex"), "a\\b:c.hex");
#endif
}

TEST(CodeName, NeverPassesTheFieldNorSplitsADoubleByteCharacter) {
    const std::string test = "\xB2\xE2";  // 测
    // 1 + 129 * 2 = 259 bytes fit whole.
    EXPECT_EQ(CodeNameOfPath("d/a" + Repeated("测", 129)), "a" + Repeated(test, 129));
    // 2 + 129 * 2 = 260: the 259th byte would be the first half of a character.
    const std::string cut = CodeNameOfPath("d/ab" + Repeated("测", 129));
    EXPECT_EQ(cut, "ab" + Repeated(test, 128));
    EXPECT_EQ(cut.size(), 258u);
    EXPECT_EQ(CodeNameOfPath(Repeated("n", 300)), Repeated("n", KORVID_CODE_NAME_SIZE - 1));
}

TEST(CodeName, ANameThatIsNotUtf8IsKeptAsCodePage936) {
    // A file system that holds its names in code page 936 already.
    EXPECT_EQ(CodeNameOfPath("/mnt/share/" + kTestProgramCp936), kTestProgramCp936);
    const std::string name = "ab" + Repeated("\xB2\xE2", 129);
    EXPECT_EQ(CodeNameOfPath(name), name.substr(0, 258));
}

TEST(CodeName, StoringFillsTheFieldAndZeroesTheRest) {
    JobRecord job;
    std::memset(&job, 0x5A, sizeof job);
    StoreCodeName(job, "/x/测试程序.hex");
    EXPECT_EQ(std::string(job.codeName), kTestProgramCp936);
    for (std::size_t i = kTestProgramCp936.size(); i < sizeof job.codeName; ++i) {
        ASSERT_EQ(job.codeName[i], '\0') << i;
    }
    EXPECT_EQ(job.partIndex, 0x5A5A5A5A);  // nothing beyond the field

    StoreCodeName(job, "d/" + Repeated("n", 400));
    EXPECT_EQ(job.codeName[KORVID_CODE_NAME_SIZE - 2], 'n');
    EXPECT_EQ(job.codeName[KORVID_CODE_NAME_SIZE - 1], '\0');
}

TEST(CodeName, IsShownFromUtf8OrCodePage936) {
    EXPECT_EQ(ShownCodeName(kTestProgramCp936), "测试程序.hex");
    EXPECT_EQ(ShownCodeName("测试程序.hex"), "测试程序.hex");  // saved by an earlier version
    EXPECT_EQ(ShownCodeName("blink.hex"), "blink.hex");
    EXPECT_EQ(ShownCodeName("a\xFF"), "a\xEF\xBF\xBD");
    EXPECT_EQ(ShownCodeName(""), "");

    JobRecord job{};
    std::memcpy(job.codeName, kTestProgramCp936.data(), kTestProgramCp936.size());
    EXPECT_EQ(ShownCodeName(job), "测试程序.hex");
    std::memset(job.codeName, 'n', sizeof job.codeName);  // not even terminated
    EXPECT_EQ(ShownCodeName(job), Repeated("n", KORVID_CODE_NAME_SIZE));
}

TEST(CodeName, ChineseAsciiAndMixedNamesComeBackAsTheyWereNamed) {
    for (const std::string name : {"测试程序.hex", "blink.ihx", "固件-v2 (最终).bin", "€ 1.hex"}) {
        EXPECT_EQ(ShownCodeName(CodeNameOfPath("dir/" + name)), name);
    }
}

}  // namespace
}  // namespace korvid::core
