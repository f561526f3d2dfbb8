#include "link/utf8_field.h"

#include <algorithm>

namespace korvid::link {
namespace {

// Bytes 10xxxxxx continue a multi-byte sequence; a cut may not fall before one.
bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

void CopyUtf8Field(std::string_view text, char* field, size_t fieldSize) {
    if (fieldSize == 0) {
        return;
    }
    text = text.substr(0, text.find('\0'));
    size_t length = std::min(text.size(), fieldSize - 1);
    if (length < text.size()) {
        while (length > 0 && isContinuationByte(text[length])) {
            --length;
        }
    }
    std::copy_n(text.begin(), length, field);
    std::fill(field + length, field + fieldSize, '\0');
}

}  // namespace korvid::link
