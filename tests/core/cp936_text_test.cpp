// Code page 936 and UTF-8 both ways. The same cases run in the Linux build (iconv's
// tables) and under wine (Windows' tables): both store and show the same bytes.
#include "cp936_text.h"

#include <gtest/gtest.h>

#include <cstdint>
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
        {"€", "\x80"},                                  // the one single byte above ASCII
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
    EXPECT_EQ(Utf8ToCp936("a\xED\x95\x9C"
                          "b\xF0\x9F\x98\x80"
                          "c.hex"),
              "a?b?c.hex");
    EXPECT_EQ(Utf8ToCp936("\xFF\xB2 x"), "?? x");
}

TEST(Cp936Text, BytesThatAreNoCharacterBecomeOneReplacementEach) {
    EXPECT_EQ(Cp936ToUtf8("\xFF"
                          "a"),
              kReplacement + "a");
    EXPECT_EQ(Cp936ToUtf8("a\xB2"), "a" + kReplacement);  // a cut lead byte
    EXPECT_EQ(Cp936ToUtf8("\xB2"
                          "0\xB2\xE2"),
              kReplacement + "0测");  // lead, no trail
    EXPECT_EQ(Cp936ToUtf8("\xA2\xAB"
                          "x"),
              kReplacement + "x");  // a pair left empty
}

// Every character of the code page both ways, pinned by a hash of the table: the
// value is the Linux build's (iconv), and Windows' tables (checked under wine) give
// the same, private-use characters aside, which neither system converts.
TEST(Cp936Text, TheWholeCodePageConvertsAlikeOnEverySystem) {
    std::string table;
    int decoded = 0;
    const auto decode = [&](const std::string& bytes) {
        const std::string text = Cp936ToUtf8(bytes);
        decoded += text != kReplacement;
        table += bytes + "=" + text + "\n";
    };
    decode("\x80");
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) {
                decode({static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
    }
    int encoded = 0;
    for (unsigned codePoint = 0x80; codePoint <= 0xFFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;  // surrogates are no characters
        }
        std::string text;
        if (codePoint < 0x800) {
            text = {static_cast<char>(0xC0 | codePoint >> 6),
                    static_cast<char>(0x80 | (codePoint & 0x3F))};
        } else {
            text = {static_cast<char>(0xE0 | codePoint >> 12),
                    static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (codePoint & 0x3F))};
        }
        const std::string bytes = Utf8ToCp936(text);
        encoded += bytes != "?";
        table += text + "=" + bytes + "\n";
    }
    EXPECT_EQ(decoded, 21792);  // the euro sign and 21791 double-byte characters
    EXPECT_EQ(encoded, 21792);
    uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
    for (const char c : table) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    }
    EXPECT_EQ(hash, 0xA1BFF5A5600BDC32u);
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
