// The Windows forms of the shared job logic the front end relies on: code page
// 936 through the system's tables, and code names of paths with either slash.
#include "code_name.h"
#include "cp936_text.h"

#include <gtest/gtest.h>

namespace korvid::core {
namespace {

TEST(Cp936OnWindows, DecodesTheLibrarysTextsAndMarksWhatItCannot) {
    EXPECT_EQ(Cp936ToUtf8("\xB1\xE0\xB3\xCC\xC6\xF7"), "编程器");
    EXPECT_EQ(Cp936ToUtf8("Vdd\xD0\xA1\xD3\xDA" "2.5V"), "Vdd小于2.5V");
    // A lead byte without its second byte, and 0xFF, which is no character.
    EXPECT_EQ(Cp936ToUtf8("A\xB1"), "A\xEF\xBF\xBD");
    EXPECT_EQ(Cp936ToUtf8("\xFF" "B"), "\xEF\xBF\xBD" "B");
    const char field[6] = {'A', 'B', '\0', 'C', 'D', 'E'};
    EXPECT_EQ(Cp936FieldToUtf8(field, sizeof field), "AB");
    const char full[3] = {'X', 'Y', 'Z'};  // no NUL: the whole field
    EXPECT_EQ(Cp936FieldToUtf8(full, sizeof full), "XYZ");
}

TEST(Cp936OnWindows, EncodesSerialTextsAndReplacesWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp936("LINE-3"), "LINE-3");
    EXPECT_EQ(Utf8ToCp936("编程器"), "\xB1\xE0\xB3\xCC\xC6\xF7");
    EXPECT_EQ(Utf8ToCp936("\xF0\x9F\x98\x80"), "?");  // an emoji: not in code page 936
}

TEST(CodeNameOnWindows, IsTheFileNameAfterEitherSlash) {
    EXPECT_EQ(CodeNameOfPath("C:\\users\\me\\闪烁 blink.hex"), "闪烁 blink.hex");
    EXPECT_EQ(CodeNameOfPath("C:/work/blink.hex"), "blink.hex");
    EXPECT_EQ(CodeNameOfPath("\\\\server\\share\\a\\b.bin"), "b.bin");
    EXPECT_EQ(CodeNameOfPath("blink.hex"), "blink.hex");
}

}  // namespace
}  // namespace korvid::core
