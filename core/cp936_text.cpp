#include "cp936_text.h"

#include "cp936_characters.h"
#include "cp936_code_page.h"
#include "utf8_characters.h"

#include <cstring>
#include <optional>

namespace korvid::core {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// Whether a well-formed UTF-8 character is one of the private-use characters
// U+E000 to U+F8FF. Windows maps the user-defined ranges of code page 936 and its
// empty pairs to them, iconv to nothing: they are no character on either system,
// so that both store and show the same.
bool IsPrivateUse(std::string_view character) {
    if (character.size() != 3) {
        return false;
    }
    const auto byte = [&character](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(character[i]));
    };
    const unsigned codePoint = (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    return codePoint >= 0xE000 && codePoint <= 0xF8FF;
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
    std::string text;
    while (!bytes.empty()) {
        const std::size_t length = Cp936CharacterLength(bytes);
        const std::string_view character = bytes.substr(0, length);
        bytes.remove_prefix(length);
        if (static_cast<unsigned char>(character[0]) < 0x80) {
            text += character;
        } else if (const std::optional<std::string> decoded = Cp936CharacterToUtf8(character);
                   decoded && !IsPrivateUse(*decoded)) {
            text += *decoded;
        } else {
            text += kReplacementCharacter;
        }
    }
    return text;
}

std::string Cp936FieldToUtf8(const char* field, std::size_t capacity) {
    if (field == nullptr) {
        return {};
    }
    const void* nul = std::memchr(field, '\0', capacity);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : capacity;
    return Cp936ToUtf8(std::string_view(field, length));
}

std::string Utf8ToCp936(std::string_view text) {
    std::string bytes;
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        if (length == 0) {
            bytes += '?';
            text.remove_prefix(1);
            continue;
        }
        const std::string_view character = text.substr(0, length);
        text.remove_prefix(length);
        if (length == 1) {
            bytes += character;
        } else if (IsPrivateUse(character)) {
            bytes += '?';
        } else {
            bytes += Utf8CharacterToCp936(character).value_or("?");
        }
    }
    return bytes;
}

}  // namespace korvid::core
