// The display language: its codes, and which language a start takes.
#include "display_language.h"

#include <gtest/gtest.h>

namespace korvid::workbench {
namespace {

TEST(DisplayLanguage, CodesInAnyCase) {
    EXPECT_EQ(ParseLanguage("en"), Language::English);
    EXPECT_EQ(ParseLanguage("EN"), Language::English);
    EXPECT_EQ(ParseLanguage("zh"), Language::Chinese);
    EXPECT_EQ(ParseLanguage("Zh"), Language::Chinese);
    EXPECT_EQ(ParseLanguage(""), std::nullopt);
    EXPECT_EQ(ParseLanguage("e"), std::nullopt);
    EXPECT_EQ(ParseLanguage("eng"), std::nullopt);
    EXPECT_EQ(ParseLanguage("en_US.UTF-8"), std::nullopt);
    EXPECT_EQ(LanguageCode(Language::English), "en");
    EXPECT_EQ(LanguageCode(Language::Chinese), "zh");
}

TEST(DisplayLanguage, EnvironmentOverRememberedOverChinese) {
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt), Language::Chinese);
    EXPECT_EQ(ChooseLanguage(std::nullopt, "en"), Language::English);
    EXPECT_EQ(ChooseLanguage("zh", "en"), Language::Chinese);
    EXPECT_EQ(ChooseLanguage("en", "zh"), Language::English);
    EXPECT_EQ(ChooseLanguage("en", std::nullopt), Language::English);
    // A value that names no language counts as none.
    EXPECT_EQ(ChooseLanguage("fr", "en"), Language::English);
    EXPECT_EQ(ChooseLanguage("", std::nullopt), Language::Chinese);
    EXPECT_EQ(ChooseLanguage(std::nullopt, "1"), Language::Chinese);
}

TEST(DisplayLanguage, PairMembers) {
    constexpr core::TextPair pair{"Load", "打开文件"};
    EXPECT_STREQ(PairText(pair, Language::English), "Load");
    EXPECT_STREQ(PairText(pair, Language::Chinese), "打开文件");
}

}  // namespace
}  // namespace korvid::workbench
