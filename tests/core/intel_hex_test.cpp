#include "intel_hex.h"

#include "hex_records.h"

#include <gtest/gtest.h>

#include <numeric>

namespace korvid::core {
namespace {

using testing::DataRecord;
using testing::HexRecord;
using testing::kEndOfFile;
using testing::LinearBase;
using testing::SegmentBase;

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> list) {
    return list;
}

TEST(ParseIntelHex, EndsAtTheLastDataByteAndFillsGapsWithFF) {
    const std::string text = DataRecord(0x0000, {0x02, 0x00, 0x30}) +
                             DataRecord(0x1230, {0xAA, 0xBB, 0xCC, 0xDD}) + kEndOfFile;
    const std::vector<uint8_t> image = ParseIntelHex(text);
    ASSERT_EQ(image.size(), 0x1234u);
    EXPECT_EQ(image[0], 0x02);
    EXPECT_EQ(image[2], 0x30);
    EXPECT_EQ(image[3], 0xFF);
    EXPECT_EQ(image[0x122F], 0xFF);
    EXPECT_EQ(image[0x1233], 0xDD);
}

TEST(ParseIntelHex, LinearBaseZeroChangesNothing) {
    const std::string body = DataRecord(0x0010, {1, 2, 3, 4}) + kEndOfFile;
    EXPECT_EQ(ParseIntelHex(":020000040000FA\n" + body), ParseIntelHex(body));
    EXPECT_EQ(ParseIntelHex(body).size(), 0x14u);
}

TEST(ParseIntelHex, EndFileAndStartAddressRecordsEndTheConversion) {
    for (uint8_t type : {1, 3, 5, 7}) {
        const std::string text =
            DataRecord(0, {0x11}) + HexRecord(type, 0, {0, 0, 0, 0}) + DataRecord(0x100, {0x22});
        EXPECT_EQ(ParseIntelHex(text), Bytes({0x11})) << "type " << int{type};
    }
}

TEST(ParseIntelHex, WrongChecksumSilentlyEndsTheConversion) {
    std::string bad = DataRecord(0x20, {0x33});
    bad[bad.size() - 3] ^= 1;  // last checksum digit
    const std::string text = DataRecord(0, {0x11, 0x22}) + bad + DataRecord(0x40, {0x44});
    EXPECT_EQ(ParseIntelHex(text), Bytes({0x11, 0x22}));
}

TEST(ParseIntelHex, WithoutDataRecordsTheImageIsEmpty) {
    EXPECT_TRUE(ParseIntelHex("").empty());
    EXPECT_TRUE(ParseIntelHex(LinearBase(0) + kEndOfFile).empty());
    EXPECT_TRUE(ParseIntelHex("not a hex file\nat all\n").empty());
}

TEST(ParseIntelHex, LinesAreSplitAtAnyRunOfLineEndsAndOtherLinesAreSkipped) {
    const std::string text =
        "; comment\r\n\r\n" + DataRecord(0, {0x01}) + "\n\n\r" + "junk\n" + DataRecord(1, {0x02});
    EXPECT_EQ(ParseIntelHex(text), Bytes({0x01, 0x02}));
    EXPECT_EQ(ParseIntelHex(":0100000055AA\r"), Bytes({0x55}));
}

TEST(ParseIntelHex, LowerCaseDigitsDecode) {
    EXPECT_EQ(ParseIntelHex(":01000000ab54\n:0100010055a9\n"), Bytes({0xAB, 0x55}));
}

TEST(ParseIntelHex, SegmentAndLinearBasesPlaceData) {
    const std::vector<uint8_t> segment =
        ParseIntelHex(SegmentBase(0x1000) + DataRecord(0x0002, {0x5A}) + kEndOfFile);
    ASSERT_EQ(segment.size(), 0x10003u);
    EXPECT_EQ(segment[0x10002], 0x5A);
    EXPECT_EQ(segment[0], 0xFF);

    const std::vector<uint8_t> linear =
        ParseIntelHex(DataRecord(0, {0x01}) + LinearBase(2) + DataRecord(0x0001, {0x7E}));
    ASSERT_EQ(linear.size(), 0x20002u);
    EXPECT_EQ(linear[0], 0x01);
    EXPECT_EQ(linear[0x20001], 0x7E);
}

TEST(ParseIntelHex, ExtendedRecordsWithOtherCountOrAddressAreIgnored) {
    const std::string text =
        HexRecord(4, 0, {0x00, 0x01, 0x00}) + HexRecord(4, 0x10, {0, 1}) + DataRecord(0, {0x42});
    EXPECT_EQ(ParseIntelHex(text), Bytes({0x42}));
}

TEST(ParseIntelHex, LoweringTheBaseKeepsDataAlreadyPlaced) {
    const std::string text =
        LinearBase(1) + DataRecord(0x0000, {0xA1}) + LinearBase(0) + DataRecord(0x0000, {0xB2});
    const std::vector<uint8_t> image = ParseIntelHex(text);
    ASSERT_EQ(image.size(), 0x10001u);
    EXPECT_EQ(image[0], 0xB2);
    EXPECT_EQ(image[0x10000], 0xA1);
}

TEST(ParseIntelHex, RecordRunningPastItsWindowIsKeptWhole) {
    const std::vector<uint8_t> image = ParseIntelHex(DataRecord(0xFFFE, {1, 2, 3, 4}));
    ASSERT_EQ(image.size(), 0x10002u);
    EXPECT_EQ(image[0xFFFE], 1);
    EXPECT_EQ(image[0x10001], 4);
}

TEST(ParseIntelHex, ImageNeverGrowsBeyondTheLimit) {
    // 0x00FF:FFF8 + 16 bytes crosses the 16 MiB limit by 8 bytes: those are dropped.
    const std::vector<uint8_t> crossing =
        ParseIntelHex(LinearBase(0x00FF) + DataRecord(0xFFF8, std::vector<uint8_t>(16, 0x5A)));
    ASSERT_EQ(crossing.size(), kIntelHexImageLimit);
    EXPECT_EQ(crossing.back(), 0x5A);

    // Data wholly above the limit, even at the highest linear base, is dropped.
    const std::vector<uint8_t> above =
        ParseIntelHex(DataRecord(0, {0x01}) + LinearBase(0xFFFF) + DataRecord(0xFFF0, {2, 3}) +
                      LinearBase(0x0100) + DataRecord(0x0000, {4}));
    EXPECT_EQ(above, Bytes({0x01}));
}

TEST(ParseIntelHex, MalformedRecordsEndTheConversionWithoutReadingPastTheLine) {
    const std::string good = DataRecord(0, {0x11});
    // Odd digit count: the record is one digit short.
    EXPECT_EQ(ParseIntelHex(good + ":0100010022D\n" + DataRecord(2, {0x33})), Bytes({0x11}));
    // Count larger than the data present (the checksum still balances).
    EXPECT_EQ(ParseIntelHex(good + ":0400010022D9\n"), Bytes({0x11}));
    // Too short to be a record at all.
    EXPECT_EQ(ParseIntelHex(good + ":00\n" + DataRecord(2, {0x33})), Bytes({0x11}));
    // More than 260 decoded bytes.
    std::string longLine = DataRecord(1, std::vector<uint8_t>(255, 0x22));
    longLine.insert(longLine.size() - 2, "0000");
    EXPECT_EQ(ParseIntelHex(good + longLine), Bytes({0x11}));
    // A line of a lone colon at the very end of the text.
    EXPECT_EQ(ParseIntelHex(good + ":"), Bytes({0x11}));
}

TEST(ParseIntelHex, FullLengthRecordIsAccepted) {
    std::vector<uint8_t> data(255);
    std::iota(data.begin(), data.end(), uint8_t{0});
    const std::vector<uint8_t> image = ParseIntelHex(DataRecord(0x0100, data));
    ASSERT_EQ(image.size(), 0x100u + 255u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), image.begin() + 0x100));
}

}  // namespace
}  // namespace korvid::core
