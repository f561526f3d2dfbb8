// The part catalogue: the library's own form of a catalogue entry, the two tables
// (ISP and ICP), each closed by a "NoBody" sentinel, and lookups into them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace korvid::catalogue {

inline constexpr uint16_t kApVersion = 0x0710;
inline constexpr int kMaxOptions = 64;
inline constexpr int kIcpConfigByteCount = 8;
inline constexpr size_t kIspPartCount = 44;
inline constexpr std::string_view kSentinelName = "NoBody";

// One hardware option. text holds the ASCII name, a NUL, then the cp936 description.
struct OptionBit {
    uint8_t byteIndex;  // 0 for ISP parts; 0..7 (ICP configuration byte) for ICP parts
    uint8_t mask;
    const char* text;
};

// A multi-bit field of the ICP configuration bytes: the bits that are 0 in mask.
// A mask without a 0 bit means the field is absent.
struct BitField {
    uint8_t byteIndex;
    uint8_t mask;
};

struct PartEntry {
    const char* name;
    uint32_t seriesMask;  // exactly one of bits 0..6
    uint32_t deviceCode;  // low 16 bits used; non-zero high byte marks an ICP part
    uint32_t flashSize;   // AP+IAP flash; the ISP boot area starts here
    uint32_t iapStart;    // default IAP start (= default AP size), 0 without IAP area
    uint32_t hasIspMemoryChoice;
    uint32_t hasIapMemoryChoice;
    uint32_t hasHwSettings;
    const char* ispMemoryList;  // comma-separated hexadecimal ISP-memory sizes
    BitField ispMemoryField;
    BitField hwwidlField;
    BitField hwpsField;
    uint32_t iapBoundaryByte;  // ICP byte holding bits 8..15 of the IAP boundary
    uint32_t optionCount;
    OptionBit options[kMaxOptions];
};

// Number of entries before the sentinel of a sentinel-closed table.
constexpr size_t countEntries(const PartEntry* table) {
    size_t count = 0;
    while (table[count].name != kSentinelName) {
        ++count;
    }
    return count;
}

// A pair of sentinel-closed tables. The library's own is builtInCatalogue(); tests
// build others (an ICP part, an empty table) to drive the same code.
class Catalogue {
public:
    constexpr Catalogue(const PartEntry* ispTable, const PartEntry* icpTable)
        : isp_(ispTable, countEntries(ispTable)), icp_(icpTable, countEntries(icpTable)) {}

    // The entries of one table, without its sentinel.
    std::span<const PartEntry> entries(bool icp) const { return icp ? icp_ : isp_; }

    // Entry partIndex of the chosen table; nullptr when the index is outside it.
    const PartEntry* entry(bool icp, int32_t partIndex) const;

    // The entry a project with this device code and code length is read as: of the
    // entries with the device code (several parts share one), the first in table
    // order whose flash holds codeLength bytes, else the first.
    std::optional<int32_t> findDeviceCode(bool icp, uint16_t deviceCode, uint32_t codeLength) const;

private:
    std::span<const PartEntry> isp_;
    std::span<const PartEntry> icp_;
};

const Catalogue& builtInCatalogue();

// The library's display name in cp936, NUL included (28 bytes).
std::span<const char> displayName();

}  // namespace korvid::catalogue
