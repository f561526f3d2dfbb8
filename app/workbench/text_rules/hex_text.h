// Hexadecimal numbers in text fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::workbench {

// Reads text as "%X" does: leading blanks skipped, then hexadecimal digits up to
// the first other character. Empty when no digit follows the blanks. A value with
// more than eight significant digits saturates at 0xFFFFFFFF, so that it is never
// mistaken for a small address.
std::optional<uint32_t> ScanHex(std::string_view text);

// The typed-character filter of hexadecimal fields: "0"-"9", "A"-"F", "a"-"f" and
// backspace (8) pass, and form feed (12) where allowed; every other character,
// control characters included, is dropped before the field sees it.
bool PassesHexDigitFilter(char32_t character, bool allowFormFeed);

}  // namespace korvid::workbench
