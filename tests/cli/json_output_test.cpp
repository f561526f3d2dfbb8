// --json output is valid JSON whatever the strings it carries: file names with
// bytes that are not UTF-8 (each becomes U+FFFD), and characters JSON escapes.
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace korvid::cli::test {
namespace {

using ::testing::HasSubstr;

const std::string kHexText = ":1000000002010000000000000000000000000000ED\n:00000001FF\n";
const std::string kReplacement = "\xEF\xBF\xBD";

class JsonOutputTest : public ::testing::Test {
protected:
    void SetUp() override { dir = ScratchDir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

// Each line of out parsed strictly; a line that is not JSON fails the test.
nlohmann::json ParseLine(const std::string& out) {
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    return nlohmann::json::parse(out);
}

TEST_F(JsonOutputTest, NamesThatAreNotUtf8StillGiveValidJson) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows file names are UTF-16 text: none holds bytes that are not UTF-8";
#else
    // Latin-1 "café" and a lone continuation byte, as a file system may hold them.
    const std::string name = "caf\xE9-\x80.hex";
    const std::string in = dir + "/" + name;
    WriteBytes(in, std::vector<unsigned char>(kHexText.begin(), kHexText.end()));

    const Outcome convert = RunKorvid({"--json", "convert", in, dir + "/out.bin"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const nlohmann::json converted = ParseLine(convert.out);
    EXPECT_EQ(converted["input"], dir + "/caf" + kReplacement + "-" + kReplacement + ".hex");
    EXPECT_EQ(converted["size"], 16);

    const Outcome program = RunKorvid({"--json", "program", in, "-p", "Part A1"}, kHid);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_EQ(ParseLine(program.out)["source"],
              dir + "/caf" + kReplacement + "-" + kReplacement + ".hex");

    // A failure names the file in its message.
    const Outcome missing = RunKorvid({"--json", "kpj", "show", dir + "/\xFF\xFE.kpj"});
    EXPECT_EQ(missing.exitStatus, 4);
    const nlohmann::json failure = ParseLine(missing.out);
    EXPECT_EQ(failure["ok"], false);
    EXPECT_THAT(failure["message"].get<std::string>(),
                HasSubstr("/" + kReplacement + kReplacement + ".kpj"));
#endif
}

TEST_F(JsonOutputTest, EscapedCharactersComeBackExactly) {
#if defined(_WIN32)
    // Windows takes no quote or control character in a name; the backslashes of
    // its folder names are escaped, and the name comes back whole.
    const std::string name = "caf\xC3\xA9 \xE4\xB8\xAD.hex";
    const std::string escaped = "/caf\xC3\xA9 \xE4\xB8\xAD.hex";
#else
    const std::string name = "quote\" back\\slash\ttab\x01 \xE4\xB8\xAD.hex";
    const std::string escaped = R"(quote\" back\\slash\ttab\u0001 中.hex)";
#endif
    const std::string in = dir + "/" + name;
    WriteBytes(in, std::vector<unsigned char>(kHexText.begin(), kHexText.end()));
    const Outcome convert = RunKorvid({"--json", "convert", in, dir + "/out.bin"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    EXPECT_THAT(convert.out, HasSubstr(escaped));
    EXPECT_EQ(ParseLine(convert.out)["input"], in);
}

}  // namespace
}  // namespace korvid::cli::test
