// The language the program shows its texts in: the Chinese member of every text
// pair (the default) or the English one. The environment variable KORVID_LANG
// ("en" or "zh") overrides the choice remembered from the window's menu.
#pragma once

#include "text_pair.h"

#include <optional>
#include <string_view>

namespace korvid::workbench {

enum class Language { Chinese, English };

// "en" or "zh", in any case; none for any other text.
std::optional<Language> ParseLanguage(std::string_view code);
// "en" or "zh".
std::string_view LanguageCode(Language language);

// The language of a start: the environment's if it names one, else the
// remembered one if it names one, else Chinese.
Language ChooseLanguage(std::optional<std::string_view> environment,
                        std::optional<std::string_view> remembered);

// The member of a pair shown in language.
const char* PairText(const core::TextPair& pair, Language language);

}  // namespace korvid::workbench
