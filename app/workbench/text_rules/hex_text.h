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

// Upper-case hexadecimal: "%X" for width 0, otherwise zero-padded to width digits.
std::string FormatHex(uint32_t value, int width);

}  // namespace korvid::workbench
