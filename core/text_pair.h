// A text of the system as a pair: the English text and the simplified-Chinese
// text. Both members are stored as UTF-8.
#pragma once

#include <string>

namespace korvid::core {

struct TextPair {
    const char* english;
    const char* chinese;  // the member the dialog program shows
};

// A text pair composed at run time (a message that names a file, a line).
struct OwnedTextPair {
    std::string english;
    std::string chinese;
};

}  // namespace korvid::core
