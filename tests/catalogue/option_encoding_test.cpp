// The ISP option byte and the ICP configuration bytes, both ways.
#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "catalogue/option_encoding.h"

namespace korvid::catalogue {
namespace {

const PartEntry& isp(int32_t index) {
    return *builtInCatalogue().entry(false, index);
}

JobRecord jobFor(int32_t partIndex, uint64_t states) {
    JobRecord job{};
    job.partIndex = partIndex;
    setOptionStates(job, states);
    return job;
}

uint8_t ispByte(int32_t partIndex, uint64_t states, uint8_t start = kProjectIspOptionStart) {
    return encodeIspOptionByte(isp(partIndex), jobFor(partIndex, states), start);
}

TEST(IspOptionByte, KeepIapDataIsActiveHighOnTheFirstNineEntriesOnly) {
    // Part A1: "KEEP IAP-DATA" is option 3 of set 1.
    EXPECT_EQ(ispByte(0, 1u << 3), 0xBF);
    EXPECT_EQ(ispByte(0, 0), 0xBD);
    // Part B1 (index 6, set 5).
    EXPECT_EQ(ispByte(6, 1), 0xBF);
    EXPECT_EQ(ispByte(6, 0), 0xBD);
    // Part B3 (index 8) is the last inverted entry, Part C1 (index 10) is not.
    EXPECT_EQ(ispByte(8, 1), 0xBF);
    EXPECT_EQ(ispByte(10, 1), 0xBD);
    EXPECT_EQ(ispByte(10, 0), 0xBF);
    // Part F1 (index 19, set 4): "KEEP IAP-DATA" is option 1, active-low.
    EXPECT_EQ(ispByte(19, 1u << 1), 0xBD);
}

TEST(IspOptionByte, OtherOptionsAreActiveLowAndUncoveredBitsKeepTheStart) {
    EXPECT_EQ(ispByte(0, 0x1F), 0x0E);      // all five of set 1 checked
    EXPECT_EQ(ispByte(0, 0, 0x40), 0xF1);   // bit 6 and the inverted bit stay as started
    EXPECT_EQ(ispByte(15, 1u << 3), 0xBD);  // set 3: "ENROSC" at 0x02
    EXPECT_EQ(ispByte(19, 1u << 0), 0x9F);  // set 4: "ENROSC" at 0x20
    EXPECT_EQ(ispByte(10, 0, 0xBB), 0xBB);
}

TEST(IspOptionByte, EntriesWithoutOptionsLeaveTheStartValue) {
    for (int32_t index : {9, 21, 22}) {  // Part D1, Part F3, Part F4
        EXPECT_EQ(isp(index).optionCount, 0u);
        EXPECT_EQ(ispByte(index, ~uint64_t{0}, 0x5A), 0x5A);
        EXPECT_EQ(ispByte(index, 0), 0xBF);
    }
}

TEST(IspOptionByte, DecodingInvertsEncodingForEveryEntryAndEverySetting) {
    const std::span<const PartEntry> entries = builtInCatalogue().entries(false);
    for (int32_t index = 0; index < static_cast<int32_t>(entries.size()); ++index) {
        const uint64_t combinations = uint64_t{1} << entries[index].optionCount;
        for (uint64_t states = 0; states < combinations; ++states) {
            JobRecord decoded = jobFor(index, ~uint64_t{0});  // stale bits must go
            decodeIspOptionByte(entries[index], ispByte(index, states), decoded);
            EXPECT_EQ(optionStates(decoded), states) << entries[index].name;
        }
    }
}

TEST(IspOptionByte, OptionBitsAboveThirtyOneAreTestedAsSixtyFourBits) {
    PartEntry entry{};
    entry.optionCount = 34;
    for (auto& option : entry.options) {
        option = {0, 0x01, "FILLER"};
    }
    entry.options[33] = {0, 0x04, "HIGH"};
    JobRecord job = jobFor(20, uint64_t{1} << 33);
    EXPECT_EQ(encodeIspOptionByte(entry, job, 0xFF), 0xFB);
    JobRecord decoded = jobFor(20, 0);
    decodeIspOptionByte(entry, 0xFB, decoded);
    EXPECT_EQ(decoded.optionStates[1], 2u);
}

// An ICP entry of the kind the encodings are made for: ISP-memory field in bits
// 1..2 of byte 0, HWWIDL in bit 4 and HWPS in bits 5..7 of byte 1, the boundary
// in byte 2 (and byte 3 for the entry at index 0).
PartEntry icpEntry(uint32_t flashSize = 0xF000, const char* memoryList = "0,400,800,1000") {
    PartEntry entry{};
    entry.name = "ICP Test";
    entry.seriesMask = 1;
    entry.deviceCode = 0x0150;
    entry.flashSize = flashSize;
    entry.hasIspMemoryChoice = entry.hasIapMemoryChoice = entry.hasHwSettings = 1;
    entry.ispMemoryList = memoryList;
    entry.ispMemoryField = {0, 0xF9};
    entry.hwwidlField = {1, 0xEF};
    entry.hwpsField = {1, 0x1F};
    entry.iapBoundaryByte = 2;
    entry.optionCount = 3;
    entry.options[0] = {0, 0x80, "OPTA\0a"};
    entry.options[1] = {5, 0x0C, "KEEP IAP-DATA\0b"};
    entry.options[2] = {1, 0x01, "OPTC\0c"};
    return entry;
}

JobRecord icpJob(int32_t partIndex, uint32_t ispIndex, uint32_t iapIndex, uint32_t hw,
                 uint64_t states) {
    JobRecord job = jobFor(partIndex, states);
    job.ispMemoryIndex = ispIndex;
    job.iapMemoryIndex = iapIndex;
    job.hwOptions = hw;
    return job;
}

using Bytes = IcpConfigBytes;
constexpr auto kProject = IapBoundaryEncoding::ProjectFile;
constexpr auto kProgramming = IapBoundaryEncoding::Programming;

TEST(IcpConfigBytes, FieldsBoundaryAndOptionsLandInTheirBytes) {
    // ISP memory 0x800 (index 2), IAP 4 x 512, HWWIDL 1, HWPS 5, options A and C on.
    const JobRecord job = icpJob(1, 2, 4, 1 | (5 << 1), 0b101);
    const Bytes expected = {0x7B, 0xBE, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(), job, kProject), expected);
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(), job, kProgramming), expected);
    // Options are active-low without exception, whatever their name: B on clears both bits.
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(), icpJob(1, 0, 0, 0, 0b010), kProgramming)->at(5),
              0xF3);
}

TEST(IcpConfigBytes, NoIapMemoryIsStoredAsFreeOnlyInProjectFiles) {
    const JobRecord job = icpJob(1, 2, 0, 0, 0);
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(), job, kProject)->at(2), 0xFF);
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(), job, kProgramming)->at(2), 0xE8);  // 0xF000 - 0x800
}

TEST(IcpConfigBytes, TheEntryAtIndexZeroAlsoCarriesBoundaryBitsSixteenUp) {
    const JobRecord job = icpJob(0, 2, 4, 0, 0);
    const auto bytes = encodeIcpConfigBytes(icpEntry(0x1F000), job, kProgramming);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->at(2), 0xE0);  // 0x1E000
    EXPECT_EQ(bytes->at(3), 0x01);
    EXPECT_EQ(encodeIcpConfigBytes(icpEntry(0x1F000), icpJob(1, 2, 4, 0, 0), kProgramming)->at(3),
              0xFF);
}

TEST(IcpConfigBytes, JobsThatDoNotFitTheEntryAreRefused) {
    EXPECT_FALSE(encodeIcpConfigBytes(icpEntry(), icpJob(1, 4, 0, 0, 0), kProject));  // list ends
    EXPECT_TRUE(encodeIcpConfigBytes(icpEntry(), icpJob(1, 3, 0x70, 0, 0), kProject));
    EXPECT_FALSE(encodeIcpConfigBytes(icpEntry(), icpJob(1, 3, 0x71, 0, 0), kProject));
    EXPECT_FALSE(encodeIcpConfigBytes(icpEntry(), icpJob(1, 0, 0xFFFFFFFF, 0, 0), kProject));

    PartEntry badIndexes = icpEntry();
    badIndexes.options[1].byteIndex = 8;
    EXPECT_FALSE(encodeIcpConfigBytes(badIndexes, icpJob(1, 0, 0, 0, 0), kProject));
    badIndexes = icpEntry();
    badIndexes.iapBoundaryByte = 7;  // the wide entry needs byte 8 too
    EXPECT_TRUE(encodeIcpConfigBytes(badIndexes, icpJob(1, 0, 0, 0, 0), kProject));
    EXPECT_FALSE(encodeIcpConfigBytes(badIndexes, icpJob(0, 0, 0, 0, 0), kProject));
}

TEST(IcpConfigBytes, DecodingInvertsEncoding) {
    for (int32_t partIndex : {0, 1}) {
        const PartEntry entry = icpEntry(partIndex == 0 ? 0x1F000 : 0xF000);
        for (uint32_t ispIndex = 0; ispIndex < 4; ++ispIndex) {
            for (uint32_t iapIndex : {0u, 1u, 4u, 0x30u}) {
                for (uint32_t hw = 0; hw < 16; hw += 3) {
                    for (uint64_t states = 0; states < 8; ++states) {
                        const JobRecord job = icpJob(partIndex, ispIndex, iapIndex, hw, states);
                        const auto bytes = encodeIcpConfigBytes(entry, job, kProject);
                        ASSERT_TRUE(bytes);
                        JobRecord decoded = icpJob(partIndex, 9, 9, 0xF0, 0xFF);
                        ASSERT_TRUE(decodeIcpConfigBytes(entry, *bytes, decoded));
                        EXPECT_EQ(decoded.ispMemoryIndex, ispIndex);
                        EXPECT_EQ(decoded.iapMemoryIndex, iapIndex);
                        EXPECT_EQ(decoded.hwOptions, 0xF0 | hw);  // bits 4 up are kept
                        EXPECT_EQ(optionStates(decoded), states);
                    }
                }
            }
        }
    }
}

TEST(IcpConfigBytes, AbsentFieldsAreLeftAlone) {
    PartEntry entry = icpEntry();
    entry.ispMemoryField = entry.hwwidlField = entry.hwpsField = {0, 0xFF};
    const auto bytes = encodeIcpConfigBytes(entry, icpJob(1, 1, 0, 0xF, 0b111), kProject);
    EXPECT_EQ(bytes, (Bytes{0x7F, 0xFE, 0xFF, 0xFF, 0xFF, 0xF3, 0xFF, 0xFF}));
    JobRecord decoded = icpJob(1, 1, 9, 0xB, 0);
    ASSERT_TRUE(decodeIcpConfigBytes(entry, *bytes, decoded));
    EXPECT_EQ(decoded.ispMemoryIndex, 1u);
    EXPECT_EQ(decoded.hwOptions, 0xBu);
    EXPECT_EQ(decoded.iapMemoryIndex, 0u);
}

TEST(IcpConfigBytes, BytesThatDoNotFitTheEntryAreRefusedWithoutReadingPastTheList) {
    // A two-item list: field value 0 decodes as index 3.
    const PartEntry shortList = icpEntry(0xF000, "0,400");
    JobRecord decoded = icpJob(1, 0, 0, 0, 0);
    EXPECT_FALSE(
        decodeIcpConfigBytes(shortList, {0xF9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, decoded));
    // A boundary at 0xF800 with 0x800 of ISP memory lies beyond the 0xF000 flash.
    EXPECT_FALSE(decodeIcpConfigBytes(icpEntry(), {0xFB, 0xFF, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                      decoded));
}

TEST(IspMemorySize, ListTokensAreHexadecimalAndCountedFromZero) {
    const PartEntry entry = icpEntry(0xF000, "0,400,1A00");
    EXPECT_EQ(ispMemorySize(entry, 0), 0u);
    EXPECT_EQ(ispMemorySize(entry, 2), 0x1A00u);
    EXPECT_EQ(ispMemorySize(entry, 3), std::nullopt);
    EXPECT_EQ(ispMemorySize(icpEntry(0xF000, "0,,x"), 1), std::nullopt);
    EXPECT_EQ(ispMemorySize(icpEntry(0xF000, "0,,x"), 2), std::nullopt);
}

}  // namespace
}  // namespace korvid::catalogue
