#include "display_language.h"

#include <algorithm>
#include <cctype>

namespace korvid::workbench {
namespace {

constexpr std::string_view kEnglishCode = "en";
constexpr std::string_view kChineseCode = "zh";

bool SameLetters(std::string_view text, std::string_view lowerCase) {
    return std::equal(
        text.begin(), text.end(), lowerCase.begin(), lowerCase.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

std::optional<Language> ParseLanguage(std::string_view code) {
    if (SameLetters(code, kEnglishCode)) {
        return Language::English;
    }
    if (SameLetters(code, kChineseCode)) {
        return Language::Chinese;
    }
    return std::nullopt;
}

std::string_view LanguageCode(Language language) {
    return language == Language::English ? kEnglishCode : kChineseCode;
}

Language ChooseLanguage(std::optional<std::string_view> environment,
                        std::optional<std::string_view> remembered) {
    for (const auto& source : {environment, remembered}) {
        if (source) {
            if (const auto language = ParseLanguage(*source)) {
                return *language;
            }
        }
    }
    return Language::Chinese;
}

const char* PairText(const core::TextPair& pair, Language language) {
    return language == Language::English ? pair.english : pair.chinese;
}

}  // namespace korvid::workbench
