#include "code_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvid::core {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(CodeFormat, ExtensionsOfTheToolchainsInAnyCase) {
    for (const char* path : {"a.hex", "A.HEX", "dir/main.ihx", "main.IHX", "x.iHex", "/p/q.IHEX"}) {
        EXPECT_EQ(FormatOfPath(path), CodeFormat::IntelHex) << path;
    }
    for (const char* path : {"a.bin", "a", "a.hex.bin", "dir.hex/image", ".ihx.txt", "a.hx"}) {
        EXPECT_EQ(FormatOfPath(path), CodeFormat::Binary) << path;
    }
    EXPECT_EQ(FormatOfPath("job.Kpj"), CodeFormat::Project);
    EXPECT_EQ(UpperExtension("dir.d/name"), "");
    EXPECT_EQ(UpperExtension("dir/main.ihx"), "IHX");
    EXPECT_EQ(UpperExtension("archive.tar.gz"), "GZ");
}

// The first line that is not empty decides, and only a record that ParseIntelHex reads
// from its first character to the line end counts.
TEST(CodeFormat, ContentIsIntelHexWhenItsFirstRecordIsWellFormed) {
    EXPECT_TRUE(LooksLikeIntelHex(Bytes(":00000001FF\n")));
    EXPECT_TRUE(LooksLikeIntelHex(Bytes(":00000001FF")));
    EXPECT_TRUE(LooksLikeIntelHex(Bytes("\r\n\n\r:03000000020100FA\r\nrubbish")));
    EXPECT_TRUE(LooksLikeIntelHex(Bytes(":0400000004000000f8\n")));  // lower-case digits
}

TEST(CodeFormat, ContentThatIsNotIntelHex) {
    EXPECT_FALSE(LooksLikeIntelHex({}));
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(" \n\r\n")));
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":00000001FE\n")));     // checksum
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":00000001F\n")));      // odd digit count
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":0100000001FF\n")));   // count says one data byte more
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":000000G1FF\n")));     // not a digit
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":00000001FF x\n")));   // text after the record
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":00000001FF \n")));    // blank after the record
    EXPECT_FALSE(LooksLikeIntelHex(Bytes("  :00000001FF\n")));   // blank before the record
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(" \n:00000001FF\n")));  // a blank line is not empty
    EXPECT_FALSE(LooksLikeIntelHex(Bytes("\xEF\xBB\xBF:00000001FF\n")));  // byte-order mark
    EXPECT_FALSE(LooksLikeIntelHex(Bytes("; comment\n:00000001FF\n")));
    EXPECT_FALSE(LooksLikeIntelHex(std::vector<uint8_t>{0x02, 0x01, 0x00, ':'}));
    EXPECT_FALSE(LooksLikeIntelHex(Bytes(":" + std::string(522, '0') + "\n")));  // over 260 bytes
}

}  // namespace
}  // namespace korvid::core
