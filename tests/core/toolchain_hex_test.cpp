// ParseIntelHex against objcopy on HEX files that real tools write: sdcc's output for
// a small 8051 program, and srec_cat's with segment and linear extended address
// records and odd record lengths. The files are generated at test time.
#include "intel_hex.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

    void Run(const std::string& command) {
        const std::string full = "cd '" + dir_.string() + "' && " + command;
        ASSERT_EQ(std::system(full.c_str()), 0) << full;
    }

    // objcopy writes from the lowest address used; every file here has data at 0.
    void ExpectSameAsObjcopy(const std::string& hexName) {
        Run(std::string(KORVID_OBJCOPY) + " -I ihex -O binary --gap-fill 0xFF " + hexName +
            " reference.bin");
        const std::string reference = ReadAll(dir_ / "reference.bin");
        const std::vector<uint8_t> image = ParseIntelHex(ReadAll(dir_ / hexName));
        ASSERT_FALSE(reference.empty());
        ASSERT_EQ(image.size(), reference.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), reference.begin(),
                               [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }));
    }

    fs::path dir_;
};

TEST_F(ToolchainHexTest, SdccProgram) {
    std::ofstream(dir_ / "blink.c") << R"(
#include <8051.h>
__code const unsigned char table[37] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233};
void delay(unsigned int n) { while (n--) { __asm nop __endasm; } }
void main(void) {
    unsigned char i = 0;
    for (;;) { P1 = table[i % 37]; delay(1000); ++i; }
}
)";
    Run(std::string(KORVID_SDCC) + " -mmcs51 --code-loc 0x0000 blink.c >/dev/null");
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
    Run(std::string(KORVID_SREC_CAT) + " " + inputs +
        "-o linear.hex -intel -address-length=4 -output_block_size=13");
    Run(std::string(KORVID_SREC_CAT) + " " + inputs +
        "-o segmented.hex -intel -address-length=3 -output_block_size=31");
    ExpectSameAsObjcopy("linear.hex");
    ExpectSameAsObjcopy("segmented.hex");
}

}  // namespace
}  // namespace korvid::core
