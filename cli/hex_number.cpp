#include "hex_number.h"

#include "hex_digit.h"

namespace korvid::cli {

std::string Hex(uint32_t value, int digits) {
    return "0x" + core::HexText(value, digits);
}

}  // namespace korvid::cli
