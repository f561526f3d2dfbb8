#include "link/utf8_field.h"

#include <gtest/gtest.h>

#include <string>

namespace korvid::link {
namespace {

// Copies into a field of `size` bytes pre-filled with 'X' and returns its bytes.
std::string copied(std::string_view text, size_t size) {
    std::string field(size, 'X');
    CopyUtf8Field(text, field.data(), field.size());
    return field;
}

TEST(Utf8Field, FitsWithTerminatorAndZeroPadding) {
    EXPECT_EQ(copied("1-2.3", 8), std::string("1-2.3\0\0\0", 8));
    EXPECT_EQ(copied("1234567", 8), std::string("1234567\0", 8));
    EXPECT_EQ(copied("", 3), std::string("\0\0\0", 3));
}

TEST(Utf8Field, CutsAtACharacterBoundary) {
    EXPECT_EQ(copied("12345678", 8), std::string("1234567\0", 8));
    // "é" is C3 A9: it would need bytes 6 and 7, but byte 7 holds the NUL.
    EXPECT_EQ(copied("abcde\xC3\xA9", 7), std::string("abcde\0\0", 7));
    EXPECT_EQ(copied("abcde\xC3\xA9", 8), std::string("abcde\xC3\xA9\0", 8));
    // A three-byte character (E4 B8 AD) cut after one or two of its bytes is dropped whole.
    EXPECT_EQ(copied("ab\xE4\xB8\xAD", 4), std::string("ab\0\0", 4));
    EXPECT_EQ(copied("ab\xE4\xB8\xAD", 5), std::string("ab\0\0\0", 5));
    EXPECT_EQ(copied("ab\xE4\xB8\xAD", 6), std::string("ab\xE4\xB8\xAD\0", 6));
    // A four-byte character (F0 9F 98 80) at the start of a field too small for it.
    EXPECT_EQ(copied("\xF0\x9F\x98\x80", 4), std::string("\0\0\0\0", 4));
}

TEST(Utf8Field, EdgeSizesAndEmbeddedNul) {
    EXPECT_EQ(copied("abc", 1), std::string("\0", 1));
    std::string untouched = "Z";
    CopyUtf8Field("abc", untouched.data(), 0);
    EXPECT_EQ(untouched, "Z");
    EXPECT_EQ(copied(std::string_view("ab\0cd", 5), 6), std::string("ab\0\0\0\0", 6));
}

}  // namespace
}  // namespace korvid::link
