// ParseIntelHex against objcopy on HEX files that real tools write: sdcc's output for
// a small 8051 program, and srec_cat's with segment and linear extended address
// records and odd record lengths. The files are generated at test time.
#include "intel_hex.h"
#include "toolchain_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace korvid::core {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ToolchainHexTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("korvid-toolchain-hex-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Every file here has data at 0, where objcopy's image starts too.
    void ExpectSameAsObjcopy(const std::string& hexName) {
        const std::vector<uint8_t> reference = toolchain::ObjcopyImage((dir_ / hexName).string());
        const IntelHexImage parsed = ParseIntelHex(ReadAll(dir_ / hexName));
        ASSERT_FALSE(parsed.error);
        const std::vector<uint8_t>& image = parsed.bytes;
        ASSERT_FALSE(reference.empty());
        ASSERT_EQ(image.size(), reference.size());
        EXPECT_TRUE(image == reference);  // compared whole: a mismatch would print every byte
    }

    fs::path dir_;
};

TEST_F(ToolchainHexTest, SdccProgram) {
    toolchain::CompileWithSdcc(dir_.string(), "blink", toolchain::kSdccBlinkProgram);
    ExpectSameAsObjcopy("blink.ihx");
}

TEST_F(ToolchainHexTest, SrecCatSegmentedAndLinearWithOddRecordLengths) {
    std::ofstream bytes(dir_ / "data.bin", std::ios::binary);
    for (uint32_t i = 0; i < 70000; ++i) {
        bytes.put(static_cast<char>((i * 2654435761u) >> 24));
    }
    bytes.close();
    // Data at 0, across the first 64 KiB boundary, and in a later window with a gap.
    const std::string inputs = "data.bin -binary data.bin -binary -offset 0x23451 ";
    toolchain::RunSrecCat(dir_.string(),
                          inputs + "-o linear.hex -intel -address-length=4 -output_block_size=13");
    toolchain::RunSrecCat(
        dir_.string(), inputs + "-o segmented.hex -intel -address-length=3 -output_block_size=31");
    ExpectSameAsObjcopy("linear.hex");
    ExpectSameAsObjcopy("segmented.hex");
}

// objcopy applies the records after a start-address record (srec_cat writes it
// last, other tools first or in between), and so does the conversion.
TEST_F(ToolchainHexTest, RecordsAfterAStartAddressAreAppliedAsObjcopyAppliesThem) {
    std::ofstream(dir_ / "start.hex") << ":0400000300000000F9\n"  // start segment address
                                      << ":04000005112233444D\n"  // start linear address
                                      << ":0400000002000030CA\n"  // data at 0
                                      << ":0400000500000000F7\n"
                                      << ":020004005AA5FB\n"  // data after it
                                      << ":00000001FF\n";
    ExpectSameAsObjcopy("start.hex");
}

// A damaged record refuses the whole file, at the line objcopy names.
TEST_F(ToolchainHexTest, ADamagedRecordIsRefusedAtTheLineObjcopyNames) {
    const std::string good = ":1000000002010000000000000000000000000000ED\n";
    const std::pair<std::string, std::string> cases[] = {
        {":1000100011111111111111111111111111111111F0\n", ": bad checksum"},
        {":10001000111111111111111111111111111111G1EF\n", ": unexpected character `G'"}};
    for (const auto& [bad, objcopySays] : cases) {
        std::ofstream(dir_ / "bad.hex") << good << "\r\n" << bad << good << ":00000001FF\n";
        const std::string path = (dir_ / "bad.hex").string();
        EXPECT_NE(toolchain::ObjcopyRefusal(path).find("bad.hex:3" + objcopySays),
                  std::string::npos)
            << toolchain::ObjcopyRefusal(path);
        const IntelHexImage image = ParseIntelHex(ReadAll(dir_ / "bad.hex"));
        ASSERT_TRUE(image.error);
        EXPECT_EQ(image.error->line, 3u);
        EXPECT_TRUE(image.bytes.empty());
    }
}

}  // namespace
}  // namespace korvid::core
