// The catalogue's contents and the three catalogue exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/part_info.h"
#include "korvid.h"

namespace korvid::catalogue {
namespace {

struct ExpectedPart {
    const char* name;
    int series;
    uint32_t deviceCode;
    uint32_t flashSize;
    uint32_t iapStart;
    int optionSet;  // 0: none
};

// The table as published, in table order.
constexpr ExpectedPart kExpectedIsp[] = {
    {"Part A1", 0, 0x00, 0x3800, 0x1000, 1},  {"Part A2", 0, 0x01, 0x3800, 0x2000, 1},
    {"Part A3", 0, 0x02, 0x3800, 0x0000, 2},  {"Part A4", 0, 0x03, 0xF800, 0x4000, 1},
    {"Part A5", 0, 0x04, 0xF800, 0x8000, 1},  {"Part A6", 0, 0x05, 0xF800, 0x0000, 2},
    {"Part B1", 1, 0x06, 0x1C00, 0x1800, 5},  {"Part B2", 1, 0x07, 0x3800, 0x3400, 5},
    {"Part B3", 1, 0x08, 0xFC00, 0xF000, 5},  {"Part D1", 3, 0x09, 0x3800, 0x3400, 0},
    {"Part C1", 2, 0x0B, 0x1C00, 0x1000, 5},  {"Part C2", 2, 0x0C, 0x1C00, 0x1800, 5},
    {"Part C3", 2, 0x0D, 0x1C00, 0x0800, 5},  {"Part C4", 2, 0x0E, 0x1C00, 0x1000, 5},
    {"Part C5", 2, 0x0F, 0x1C00, 0x1800, 5},  {"Part B4", 1, 0x10, 0xF800, 0xE800, 3},
    {"Part B5", 1, 0x11, 0xF800, 0xE800, 3},  {"Part B6", 1, 0x12, 0xF800, 0xE800, 3},
    {"Part C6", 2, 0x13, 0x1800, 0x1000, 5},  {"Part F1", 5, 0x16, 0x1800, 0x1400, 4},
    {"Part F2", 5, 0x1C, 0x3400, 0x0000, 4},  {"Part F3", 5, 0x1E, 0x1C00, 0x1800, 0},
    {"Part F4", 5, 0x20, 0x3800, 0x3400, 0},  {"Part F5", 5, 0x17, 0x3A00, 0x3600, 5},
    {"Part F6", 5, 0x2A, 0x3A00, 0x3600, 5},  {"Part F7", 5, 0x1D, 0x3A00, 0x3600, 5},
    {"Part F8", 5, 0x1A, 0x6A00, 0x6000, 5},  {"Part F9", 5, 0x1B, 0x8A00, 0x8000, 5},
    {"Part F10", 5, 0x22, 0xFA00, 0xF000, 5}, {"Part B7", 1, 0x23, 0xFA00, 0xE800, 5},
    {"Part E1", 4, 0x24, 0x0C00, 0x0800, 5},  {"Part B8", 1, 0x25, 0xFA00, 0x8000, 5},
    {"Part B9", 1, 0x26, 0xFA00, 0xF000, 5},  {"Part B10", 1, 0x27, 0xFA00, 0x8000, 5},
    {"Part E2", 4, 0x28, 0x1C00, 0x1800, 5},  {"Part B11", 1, 0x30, 0xFA00, 0x8000, 5},
    {"Part B12", 1, 0x29, 0xFA00, 0xF000, 5}, {"Part B13", 1, 0x34, 0x1A00, 0x1600, 5},
    {"Part B14", 1, 0x31, 0x3A00, 0x3600, 5}, {"Part B15", 1, 0x35, 0x5A00, 0x5600, 5},
    {"Part B16", 1, 0x32, 0x7A00, 0x7600, 5}, {"Part G1", 6, 0x33, 0x0C00, 0x0800, 5},
    {"Part B17", 1, 0x34, 0x7A00, 0x7600, 5}, {"Part B18", 1, 0x35, 0xFA00, 0xF000, 5},
};

struct ExpectedOption {
    const char* name;
    uint8_t mask;
    const char* description;  // cp936 bytes
};

constexpr ExpectedOption kFzwdtcr = {
    "FZWDTCR", 0x80, "\xBD\xF6\xC9\xCF\xB5\xE7\xD6\xD8\xD6\xC3\xBF\xB4\xC3\xC5\xB9\xB7"};
constexpr ExpectedOption kAuxRam = {"AUX_RAM", 0x20,
                                    "\xBD\xFB\xD3\xC3\xC4\xDA\xB2\xBF\xC0\xA9\xD5\xB9RAM"};
constexpr ExpectedOption kOscdn = {"OSCDN", 0x10,
                                   "\xBD\xB5\xB5\xCD\xD5\xF1\xB5\xB4\xD4\xF6\xD2\xE6"};
constexpr ExpectedOption kKeep = {"KEEP IAP-DATA", 0x02, "\xB1\xA3\xC1\xF4 IAP-\xD7\xCA\xC1\xCF"};
constexpr ExpectedOption kEn6t = {"EN6T", 0x01, "\xCB\xAB\xB1\xB6\xCB\xD9(6T\xC4\xA3\xCA\xBD)"};
constexpr ExpectedOption kEnlvrc = {"ENLVRC", 0x80,
                                    "Vdd\xD0\xA1\xD3\xDA"
                                    "2.5V\xB8\xB4\xCE\xBB"};
constexpr ExpectedOption kEnlvro = {"ENLVRO", 0x20,
                                    "Vdd\xD0\xA1\xD3\xDA"
                                    "3.7V\xB8\xB4\xCE\xBB"};
constexpr ExpectedOption kEnrosc3 = {"ENROSC", 0x02,
                                     "\xCA\xB9\xD3\xC3\xC4\xDA\xB2\xBF\xD5\xF1\xB5\xB4(6MHz)"};
constexpr ExpectedOption kEnrosc4 = {"ENROSC", 0x20,
                                     "\xCA\xB9\xD3\xC3\xC4\xDA\xB2\xBF\xD5\xF1\xB5\xB4(6MHz)"};
constexpr ExpectedOption kHwenw = {"HWENW", 0x01,
                                   "\xC9\xCF\xB5\xE7\xC6\xF4\xB6\xAF\xBF\xB4\xC3\xC5\xB9\xB7"};

const std::vector<std::vector<ExpectedOption>> kOptionSets = {
    {},
    {kFzwdtcr, kAuxRam, kOscdn, kKeep, kEn6t},
    {kFzwdtcr, kAuxRam, kOscdn, kEn6t},
    {kEnlvrc, kEnlvro, kOscdn, kEnrosc3, kHwenw},
    {kEnrosc4, kKeep},
    {kKeep},
};

TEST(CatalogueTables, IspTableHoldsTheFortyFourPartsInOrder) {
    const std::span<const PartEntry> isp = builtInCatalogue().entries(false);
    ASSERT_EQ(isp.size(), std::size(kExpectedIsp));
    for (size_t index = 0; index < isp.size(); ++index) {
        SCOPED_TRACE(kExpectedIsp[index].name);
        const PartEntry& entry = isp[index];
        const ExpectedPart& expected = kExpectedIsp[index];
        EXPECT_STREQ(entry.name, expected.name);
        EXPECT_EQ(entry.seriesMask, 1u << expected.series);
        EXPECT_EQ(entry.deviceCode, expected.deviceCode);
        EXPECT_EQ(entry.flashSize, expected.flashSize);
        EXPECT_EQ(entry.iapStart, expected.iapStart);
        EXPECT_EQ(entry.hasIspMemoryChoice | entry.hasIapMemoryChoice | entry.hasHwSettings, 0u);
        EXPECT_STREQ(entry.ispMemoryList, "0");
        EXPECT_EQ(entry.ispMemoryField.mask | entry.hwwidlField.mask | entry.hwpsField.mask, 0);
        EXPECT_EQ(entry.iapBoundaryByte, 0u);
        const auto& options = kOptionSets[expected.optionSet];
        ASSERT_EQ(entry.optionCount, options.size());
        for (size_t k = 0; k < options.size(); ++k) {
            const OptionBit& option = entry.options[k];
            EXPECT_EQ(option.byteIndex, 0);
            EXPECT_EQ(option.mask, options[k].mask);
            EXPECT_STREQ(option.text, options[k].name);
            EXPECT_STREQ(option.text + std::strlen(option.text) + 1, options[k].description);
        }
        for (size_t k = options.size(); k < kMaxOptions; ++k) {
            EXPECT_EQ(entry.options[k].text, nullptr);
            EXPECT_EQ(entry.options[k].mask, 0);
        }
    }
}

TEST(CatalogueTables, IcpTableIsOnlyItsSentinel) {
    EXPECT_TRUE(builtInCatalogue().entries(true).empty());
    EXPECT_EQ(builtInCatalogue().entry(true, 0), nullptr);
}

TEST(CatalogueTables, EntryAccessRefusesIndexesOutsideTheTable) {
    const Catalogue& catalogue = builtInCatalogue();
    EXPECT_EQ(catalogue.entry(false, -1), nullptr);
    EXPECT_EQ(catalogue.entry(false, 44), nullptr);  // the sentinel is no entry
    EXPECT_STREQ(catalogue.entry(false, 43)->name, "Part B18");
    EXPECT_STREQ(catalogue.entry(false, 0)->name, "Part A1");
}

TEST(CatalogueTables, DeviceCodeLookupTakesTheFirstEntryInTableOrder) {
    const Catalogue& catalogue = builtInCatalogue();
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x34, 1), 37);  // Part B13, not Part B17
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x35, 1), 39);  // Part B15, not Part B18
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x0B, 1), 10);
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x0A, 1), std::nullopt);
    EXPECT_EQ(catalogue.findDeviceCode(true, 0x0100, 1), std::nullopt);
}

// Of the parts that share a device code, the first whose flash holds the code;
// when none holds it, the first (its size question or --truncate follows).
TEST(CatalogueTables, DeviceCodeLookupTakesThePartWhoseFlashHoldsTheCode) {
    const Catalogue& catalogue = builtInCatalogue();
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x34, 0x1A00), 37);  // Part B13 holds it exactly
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x34, 0x1A01), 42);  // Part B17, 0x7A00
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x34, 0x7A01), 37);  // none: the first
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x35, 0x8000), 43);  // Part B18, 0xFA00
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x35, 0x5A00), 39);
    EXPECT_EQ(catalogue.findDeviceCode(false, 0x0B, 0x100000), 10);
}

// A project stores the device code and the option byte, not the part: parts that
// share a code must read the same option byte alike, so that a project may be
// taken as any of them with its options.
TEST(CatalogueTables, PartsSharingADeviceCodeHaveTheSameOptions) {
    const auto entries = builtInCatalogue().entries(false);
    for (size_t a = 0; a < entries.size(); ++a) {
        for (size_t b = a + 1; b < entries.size(); ++b) {
            if (entries[a].deviceCode != entries[b].deviceCode) {
                continue;
            }
            SCOPED_TRACE(std::string(entries[a].name) + " and " + entries[b].name);
            EXPECT_GT(a, 8u);  // the inverted "KEEP IAP-DATA" of entries 0 to 8 is not shared
            ASSERT_EQ(entries[a].optionCount, entries[b].optionCount);
            for (uint32_t k = 0; k < entries[a].optionCount; ++k) {
                EXPECT_EQ(entries[a].options[k].byteIndex, entries[b].options[k].byteIndex);
                EXPECT_EQ(entries[a].options[k].mask, entries[b].options[k].mask);
                EXPECT_STREQ(entries[a].options[k].text, entries[b].options[k].text);
            }
        }
    }
}

TEST(CatalogueExports, ApInfoGivesTheCp936NameAndVersion) {
    char name[40];
    std::memset(name, 'x', sizeof name);
    uint16_t version = 0;
    EXPECT_EQ(GetAPInfo(name, &version), 28u);
    EXPECT_EQ(version, 0x0710);
    EXPECT_EQ(std::memcmp(name, "Vostrel 8051 ISP(R5) \xB1\xE0\xB3\xCC\xC6\xF7", 28), 0);
    EXPECT_EQ(name[28], 'x');  // nothing beyond the 28 bytes
    EXPECT_EQ(GetAPInfo(name, &version), 28u);
}

TEST(CatalogueExports, IspInfoHandsOutEveryEntryWithDescriptionsPastTheName) {
    PartInfo* parts = nullptr;
    ASSERT_EQ(GetISPInfo(&parts), 44u);
    ASSERT_NE(parts, nullptr);
    const std::span<const PartEntry> isp = builtInCatalogue().entries(false);
    for (size_t index = 0; index < isp.size(); ++index) {
        const PartInfo& info = parts[index];
        EXPECT_EQ(info.name, isp[index].name);
        EXPECT_EQ(info.seriesMask, isp[index].seriesMask);
        EXPECT_EQ(info.flashSize, isp[index].flashSize);
        EXPECT_EQ(info.iapStart, isp[index].iapStart);
        EXPECT_EQ(info.ispMemoryList, isp[index].ispMemoryList);
        ASSERT_EQ(info.optionCount, isp[index].optionCount);
        for (uint32_t k = 0; k < info.optionCount; ++k) {
            EXPECT_EQ(info.options[k].name, isp[index].options[k].text);
            EXPECT_EQ(info.options[k].description,
                      info.options[k].name + std::strlen(info.options[k].name) + 1);
        }
    }
    PartInfo* again = nullptr;
    EXPECT_EQ(GetISPInfo(&again), 44u);
    EXPECT_EQ(again, parts);  // the same library-owned array, rebuilt
}

TEST(CatalogueExports, EmptyCataloguesReturnZeroButStillGiveTheirStorage) {
    PartInfo* icp = nullptr;
    EXPECT_EQ(GetICPInfo(&icp), 0u);
    EXPECT_NE(icp, nullptr);

    PartEntry empty[1] = {};
    empty[0].name = "NoBody";
    const Catalogue emptyCatalogue(empty, empty);
    PartInfo storage[2] = {};
    storage[0].name = "untouched";
    EXPECT_EQ(fillPartInfos(emptyCatalogue.entries(false), storage), 0u);
    EXPECT_STREQ(storage[0].name, "untouched");
}

TEST(CatalogueExports, OneIcpEntryIsHandedOutAtMost) {
    PartEntry table[3] = {};
    table[0].name = "First";
    table[1].name = "Second";
    table[2].name = "NoBody";
    const Catalogue catalogue(table + 2, table);
    PartInfo one{};
    EXPECT_EQ(fillPartInfos(catalogue.entries(true), {&one, 1}), 1u);
    EXPECT_STREQ(one.name, "First");
}

}  // namespace
}  // namespace korvid::catalogue
