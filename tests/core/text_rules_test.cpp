// The byte rules shared by the library and the front ends: where UTF-8 and code
// page 936 characters end, where a code name may be cut, and hexadecimal text.
#include "code_name_bytes.h"
#include "cp936_characters.h"
#include "hex_digit.h"
#include "utf8_characters.h"

#include <gtest/gtest.h>

#include <string>

namespace korvid::core {
namespace {

TEST(TextRules, HexTextPrintsLikePercentZeroStarX) {
    EXPECT_EQ(HexText(0x1F, 8), "0000001F");
    EXPECT_EQ(HexText(0x1F, 0), "1F");
    EXPECT_EQ(HexText(0, 0), "0");
    EXPECT_EQ(HexText(0xFFFFFFFF, 4), "FFFFFFFF");  // every significant digit
}

TEST(TextRules, WellFormedUtf8Only) {
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("blink.hex"));
    EXPECT_TRUE(IsUtf8("测试 € \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"));
    for (const std::string bad :
         {"\x80", "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE6\xB5", "\xB2\xE2\xCA\xD4", "a\xFF"}) {
        EXPECT_FALSE(IsUtf8(bad)) << testing::PrintToString(bad);
    }
    EXPECT_EQ(Utf8CharacterLength("\xE6\xB5\x8B"
                                  "x"),
              3u);
    EXPECT_EQ(Utf8CharacterLength("\xE6\xB5"
                                  "x"),
              0u);
}

TEST(TextRules, Cp936CharactersAndCuts) {
    EXPECT_EQ(Cp936CharacterLength("\xB2\xE2"), 2u);
    EXPECT_EQ(Cp936CharacterLength("\xB2"
                                   "@"),
              2u);                                    // 0x40 is a trail byte
    EXPECT_EQ(Cp936CharacterLength("\xB2\x7F"), 1u);  // 0x7F is not
    EXPECT_EQ(Cp936CharacterLength("\xB2"), 1u);
    EXPECT_EQ(Cp936CharacterLength("\x80\xE2"), 1u);
    EXPECT_EQ(Cp936CharacterLength(""), 0u);
    // "a" then two double-byte characters: a cut in the second goes before it.
    const std::string name = "a\xB2\xE2\xCA\xD4";
    EXPECT_EQ(Cp936CutLength(name, 5), 5u);
    EXPECT_EQ(Cp936CutLength(name, 4), 3u);
    EXPECT_EQ(Cp936CutLength(name, 2), 1u);
    EXPECT_EQ(Cp936CutLength(name, 0), 0u);
}

TEST(TextRules, CodeNamesAreCutByTheirOwnEncoding) {
    // UTF-8: "a" and two three-byte characters. Taken as code page 936 pairs, a cut
    // at 6 bytes would fall at 5, inside the second character.
    const std::string utf8 = "a测试";
    EXPECT_EQ(CodeNameCutLength(utf8, 6), 4u);
    EXPECT_EQ(CodeNameCutLength(utf8, 3), 1u);
    EXPECT_EQ(CodeNameCutLength(utf8, 7), 7u);
    const std::string cp936 = "a\xB2\xE2\xCA\xD4";
    EXPECT_EQ(CodeNameCutLength(cp936, 4), 3u);
    EXPECT_EQ(CodeNameCutLength("blink.hex", 5), 5u);
}

}  // namespace
}  // namespace korvid::core
