#include "hex_text.h"

#include "hex_digit.h"

#include <algorithm>

namespace korvid::workbench {
namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::optional<uint32_t> ScanHex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i == text.size() || core::HexDigitValue(text[i]) < 0) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (; i < text.size() && core::HexDigitValue(text[i]) >= 0; ++i) {
        value = std::min<uint64_t>(value << 4 | static_cast<uint64_t>(core::HexDigitValue(text[i])),
                                   0xFFFFFFFFu);
    }
    return static_cast<uint32_t>(value);
}

bool PassesHexDigitFilter(char32_t c, bool allowFormFeed) {
    return (c < 0x80 && core::HexDigitValue(static_cast<char>(c)) >= 0) || c == 8 ||
           (allowFormFeed && c == 12);
}

}  // namespace korvid::workbench
