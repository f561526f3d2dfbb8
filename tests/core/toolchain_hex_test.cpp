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
        const std::vector<uint8_t> image = ParseIntelHex(ReadAll(dir_ / hexName));
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

}  // namespace
}  // namespace korvid::core
