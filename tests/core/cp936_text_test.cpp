// Code page 936 and UTF-8 both ways. The same cases run in the Linux build (iconv's
// tables) and under wine (Windows' tables): both store and show the same bytes.
#include "cp936_text.h"

#include <gtest/gtest.h>

#include <string>

namespace korvid::core {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

struct Pair {
    std::string utf8;
    std::string cp936;
};

TEST(Cp936Text, CharactersConvertAlikeBothWays) {
    const Pair pairs[] = {
        {"测试程序.hex", "\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2.hex"},
        {"固件 目录", "\xB9\xCC\xBC\xFE \xC4\xBF\xC2\xBC"},
        {"编程器", "\xB1\xE0\xB3\xCC\xC6\xF7"},
        {"blink-v2 (final).hex", "blink-v2 (final).hex"},
        {"€", "\x80"},                           // the one single byte above ASCII
        {"·—，ü", "\xA1\xA4\xA1\xAA\xA3\xAC\xA8\xB9"},  // punctuation and pinyin
        {"", ""},
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(Utf8ToCp936(pair.utf8), pair.cp936) << pair.utf8;
        EXPECT_EQ(Cp936ToUtf8(pair.cp936), pair.utf8) << pair.utf8;
    }
}

TEST(Cp936Text, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
    // Hangul, a character beyond the 16-bit range (one "?", not one per half), a
    // byte that is not UTF-8.
    EXPECT_EQ(Utf8ToCp936("a\xED\x95\x9C" "b\xF0\x9F\x98\x80" "c.hex"), "a?b?c.hex");
    EXPECT_EQ(Utf8ToCp936("\xFF\xB2 x"), "?? x");
}

TEST(Cp936Text, BytesThatAreNoCharacterBecomeOneReplacementEach) {
    EXPECT_EQ(Cp936ToUtf8("\xFF" "a"), kReplacement + "a");
    EXPECT_EQ(Cp936ToUtf8("a\xB2"), "a" + kReplacement);            // a cut lead byte
    EXPECT_EQ(Cp936ToUtf8("\xB2" "0\xB2\xE2"), kReplacement + "0测");  // lead, no trail
    EXPECT_EQ(Cp936ToUtf8("\xA2\xAB" "x"), kReplacement + "x");      // a pair left empty
}

TEST(Cp936Text, FieldsEndAtTheirFirstNulOrTheirCapacity) {
    const char field[8] = {'\xB2', '\xE2', 'x', '\0', 'y', 'y', 'y', 'y'};
    EXPECT_EQ(Cp936FieldToUtf8(field, sizeof field), "测x");
    const char full[4] = {'a', 'b', '\xB2', '\xE2'};
    EXPECT_EQ(Cp936FieldToUtf8(full, sizeof full), "ab测");
    EXPECT_EQ(Cp936FieldToUtf8(full, 3), "ab" + kReplacement);
    EXPECT_EQ(Cp936FieldToUtf8(nullptr, 10), "");
}

}  // namespace
}  // namespace korvid::core
