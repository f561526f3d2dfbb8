// A text of the system as a pair: the English text and the simplified-Chinese
// text. Both members are stored as UTF-8.
#pragma once

namespace korvid::core {

struct TextPair {
    const char* english;
    const char* chinese;  // the member the dialog program shows
};

}  // namespace korvid::core
