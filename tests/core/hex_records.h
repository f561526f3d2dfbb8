// Builds Intel HEX records with correct checksums for the tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace korvid::core::testing {

inline std::string HexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(data.size()),
                               static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address),
                               type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (uint8_t b : bytes) {
        sum = static_cast<uint8_t>(sum + b);
    }
    bytes.push_back(static_cast<uint8_t>(-sum));
    std::string line = ":";
    for (uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line + "\r\n";
}

inline std::string DataRecord(uint16_t address, const std::vector<uint8_t>& data) {
    return HexRecord(0, address, data);
}

inline std::string LinearBase(uint16_t upper) {
    return HexRecord(4, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)});
}

inline std::string SegmentBase(uint16_t segment) {
    return HexRecord(2, 0, {static_cast<uint8_t>(segment >> 8), static_cast<uint8_t>(segment)});
}

inline const std::string kEndOfFile = ":00000001FF\r\n";

}  // namespace korvid::core::testing
