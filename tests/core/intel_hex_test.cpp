#include "intel_hex.h"

#include "hex_records.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>

namespace korvid::core {

// Readable failures: the line and the problem, not their bytes.
void PrintTo(const IntelHexError& error, std::ostream* out) {
    *out << "line " << error.line << ", problem " << static_cast<int>(error.problem);
}
bool operator==(const IntelHexError& a, const IntelHexError& b) {
    return a.line == b.line && a.problem == b.problem;
}

namespace {

using testing::DataRecord;
using testing::HexRecord;
using testing::kEndOfFile;
using testing::LinearBase;
using testing::SegmentBase;

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> list) {
    return list;
}

// The image of a sound file (a refusal fails the test).
std::vector<uint8_t> Image(std::string_view text) {
    IntelHexImage image = ParseIntelHex(text);
    EXPECT_FALSE(image.error) << ::testing::PrintToString(*image.error);
    return std::move(image.bytes);
}

// The refusal of a damaged file, which never comes with bytes.
IntelHexError Refusal(std::string_view text) {
    const IntelHexImage image = ParseIntelHex(text);
    EXPECT_TRUE(image.bytes.empty());
    return image.error.value_or(IntelHexError{0, IntelHexProblem::NotHexDigit});
}

TEST(ParseIntelHex, EndsAtTheLastDataByteAndFillsGapsWithFF) {
    const std::string text = DataRecord(0x0000, {0x02, 0x00, 0x30}) +
                             DataRecord(0x1230, {0xAA, 0xBB, 0xCC, 0xDD}) + kEndOfFile;
    const std::vector<uint8_t> image = Image(text);
    ASSERT_EQ(image.size(), 0x1234u);
    EXPECT_EQ(image[0], 0x02);
    EXPECT_EQ(image[2], 0x30);
    EXPECT_EQ(image[3], 0xFF);
    EXPECT_EQ(image[0x122F], 0xFF);
    EXPECT_EQ(image[0x1233], 0xDD);
}

TEST(ParseIntelHex, LinearBaseZeroChangesNothing) {
    const std::string body = DataRecord(0x0010, {1, 2, 3, 4}) + kEndOfFile;
    EXPECT_EQ(Image(":020000040000FA\n" + body), Image(body));
    EXPECT_EQ(Image(body).size(), 0x14u);
}

TEST(ParseIntelHex, TheEndOfFileRecordEndsTheConversionAndWhatFollowsIsIgnored) {
    const std::string text = DataRecord(0, {0x11}) + HexRecord(1, 0, {0, 0, 0, 0}) +
                             DataRecord(0x100, {0x22}) + ":zz not a record\n:00000001FE\n";
    EXPECT_EQ(Image(text), Bytes({0x11}));
    EXPECT_EQ(Image(DataRecord(0, {0x11}) + kEndOfFile + ":0100010022"), Bytes({0x11}));
}

TEST(ParseIntelHex, StartAddressRecordsPlaceNothingAndTheRecordsAfterThemApply) {
    for (uint8_t type : {3, 5}) {
        const std::string text =
            DataRecord(0, {0x11}) + HexRecord(type, 0, {0, 0, 0, 0}) + DataRecord(0x2, {0x22});
        EXPECT_EQ(Image(text), Bytes({0x11, 0xFF, 0x22})) << "type " << int{type};
    }
}

TEST(ParseIntelHex, AnUnknownRecordTypeRefusesTheFile) {
    for (uint8_t type : {6, 7, 0x80, 0xFF}) {
        const std::string text =
            DataRecord(0, {0x11}) + HexRecord(type, 0, {0, 0, 0, 0}) + DataRecord(0x100, {0x22});
        EXPECT_EQ(Refusal(text), (IntelHexError{2, IntelHexProblem::UnknownRecordType}))
            << "type " << int{type};
    }
}

TEST(ParseIntelHex, AWrongChecksumRefusesTheWholeFileWithItsLine) {
    std::string bad = DataRecord(0x20, {0x33});
    bad[bad.size() - 3] ^= 1;  // last checksum digit
    const std::string text = DataRecord(0, {0x11, 0x22}) + bad + DataRecord(0x40, {0x44});
    EXPECT_EQ(Refusal(text), (IntelHexError{2, IntelHexProblem::BadChecksum}));
    // Also in the end-of-file record itself.
    EXPECT_EQ(Refusal(DataRecord(0, {0x11}) + ":00000001FE\n"),
              (IntelHexError{2, IntelHexProblem::BadChecksum}));
}

TEST(ParseIntelHex, WithoutDataRecordsTheImageIsEmpty) {
    EXPECT_TRUE(Image("").empty());
    EXPECT_TRUE(Image(LinearBase(0) + kEndOfFile).empty());
    EXPECT_TRUE(Image("not a hex file\nat all\n").empty());
}

TEST(ParseIntelHex, LinesThatAreNotRecordsAreSkipped) {
    const std::string text =
        "; comment\r\n\r\n" + DataRecord(0, {0x01}) + "\n\n\r" + "junk\n" + DataRecord(1, {0x02});
    EXPECT_EQ(Image(text), Bytes({0x01, 0x02}));
    EXPECT_EQ(Image(":0100000055AA\r"), Bytes({0x55}));
}

// Lines are numbered as an editor numbers them: CR LF, LF and a lone CR each end
// one line, and every line counts, records or not, empty or not.
TEST(ParseIntelHex, TheRefusedLineIsNumberedAsAnEditorShowsIt) {
    const std::string bad = ":0100000055AB";
    const std::string good = DataRecord(0, {0x01});  // ends with CR LF
    EXPECT_EQ(Refusal(bad).line, 1u);
    EXPECT_EQ(Refusal(good + bad).line, 2u);
    EXPECT_EQ(Refusal("; comment\r\n\r\n" + good + "\n\n\r" + "junk\n" + bad).line, 8u);
    EXPECT_EQ(Refusal("a\rb\rc\r" + bad).line, 4u);      // classic Mac line ends
    EXPECT_EQ(Refusal("a\nb\n" + bad + "\n").line, 3u);  // Unix
    EXPECT_EQ(Refusal("\n\r" + bad).line, 3u);           // LF then a lone CR: two ends
    EXPECT_EQ(Refusal("\r\n\r\n\r\n" + bad).line, 4u);   // Windows
}

TEST(ParseIntelHex, LowerCaseDigitsDecode) {
    EXPECT_EQ(Image(":01000000ab54\n:0100010055a9\n"), Bytes({0xAB, 0x55}));
}

TEST(ParseIntelHex, SegmentAndLinearBasesPlaceData) {
    const std::vector<uint8_t> segment =
        Image(SegmentBase(0x1000) + DataRecord(0x0002, {0x5A}) + kEndOfFile);
    ASSERT_EQ(segment.size(), 0x10003u);
    EXPECT_EQ(segment[0x10002], 0x5A);
    EXPECT_EQ(segment[0], 0xFF);

    const std::vector<uint8_t> linear =
        Image(DataRecord(0, {0x01}) + LinearBase(2) + DataRecord(0x0001, {0x7E}));
    ASSERT_EQ(linear.size(), 0x20002u);
    EXPECT_EQ(linear[0], 0x01);
    EXPECT_EQ(linear[0x20001], 0x7E);
}

TEST(ParseIntelHex, ExtendedRecordsWithOtherCountOrAddressAreIgnored) {
    const std::string text =
        HexRecord(4, 0, {0x00, 0x01, 0x00}) + HexRecord(4, 0x10, {0, 1}) + DataRecord(0, {0x42});
    EXPECT_EQ(Image(text), Bytes({0x42}));
}

TEST(ParseIntelHex, LoweringTheBaseKeepsDataAlreadyPlaced) {
    const std::string text =
        LinearBase(1) + DataRecord(0x0000, {0xA1}) + LinearBase(0) + DataRecord(0x0000, {0xB2});
    const std::vector<uint8_t> image = Image(text);
    ASSERT_EQ(image.size(), 0x10001u);
    EXPECT_EQ(image[0], 0xB2);
    EXPECT_EQ(image[0x10000], 0xA1);
}

TEST(ParseIntelHex, RecordRunningPastItsWindowIsKeptWhole) {
    const std::vector<uint8_t> image = Image(DataRecord(0xFFFE, {1, 2, 3, 4}));
    ASSERT_EQ(image.size(), 0x10002u);
    EXPECT_EQ(image[0xFFFE], 1);
    EXPECT_EQ(image[0x10001], 4);
}

TEST(ParseIntelHex, ImageNeverGrowsBeyondTheLimit) {
    // 0x00FF:FFF8 + 16 bytes crosses the 16 MiB limit by 8 bytes: those are dropped.
    const std::vector<uint8_t> crossing =
        Image(LinearBase(0x00FF) + DataRecord(0xFFF8, std::vector<uint8_t>(16, 0x5A)));
    ASSERT_EQ(crossing.size(), kIntelHexImageLimit);
    EXPECT_EQ(crossing.back(), 0x5A);

    // Data wholly above the limit, even at the highest linear base, is dropped.
    const std::vector<uint8_t> above =
        Image(DataRecord(0, {0x01}) + LinearBase(0xFFFF) + DataRecord(0xFFF0, {2, 3}) +
              LinearBase(0x0100) + DataRecord(0x0000, {4}));
    EXPECT_EQ(above, Bytes({0x01}));
}

TEST(ParseIntelHex, MalformedRecordsRefuseTheFileWithoutReadingPastTheLine) {
    const std::string good = DataRecord(0, {0x11});
    const auto refusal = [](IntelHexProblem problem) { return IntelHexError{2, problem}; };
    // Odd digit count: the record is one digit short.
    EXPECT_EQ(Refusal(good + ":0100010022D\n" + DataRecord(2, {0x33})),
              refusal(IntelHexProblem::OddDigitCount));
    // Count larger than the data present (the checksum still balances).
    EXPECT_EQ(Refusal(good + ":0400010022D9\n"), refusal(IntelHexProblem::LengthMismatch));
    // Count smaller than the data present.
    EXPECT_EQ(Refusal(good + ":000001002233AA\n"), refusal(IntelHexProblem::LengthMismatch));
    // Too short to be a record at all.
    EXPECT_EQ(Refusal(good + ":00\n" + DataRecord(2, {0x33})),
              refusal(IntelHexProblem::LengthMismatch));
    // More than 260 decoded bytes.
    std::string longLine = DataRecord(1, std::vector<uint8_t>(255, 0x22));
    longLine.insert(longLine.size() - 2, "0000");
    EXPECT_EQ(Refusal(good + longLine), refusal(IntelHexProblem::LengthMismatch));
    // A line of a lone colon at the very end of the text.
    EXPECT_EQ(Refusal(good + ":"), refusal(IntelHexProblem::LengthMismatch));
    // Characters that are not hexadecimal digits, wherever they stand on the line,
    // also where the count or the length would be wrong as well.
    EXPECT_EQ(Refusal(good + ":01000100G2DC\n"), refusal(IntelHexProblem::NotHexDigit));
    EXPECT_EQ(Refusal(good + ":0100010022DC \n"), refusal(IntelHexProblem::NotHexDigit));
    EXPECT_EQ(Refusal(good + ":0100010022D \n"), refusal(IntelHexProblem::NotHexDigit));
    EXPECT_EQ(Refusal(good + ":01 00010022DC\n"), refusal(IntelHexProblem::NotHexDigit));
    EXPECT_EQ(Refusal(good + longLine.substr(0, 300) + "x" + longLine.substr(300)),
              refusal(IntelHexProblem::NotHexDigit));
    // Characters whose 0x40 bit would once have made them digits.
    EXPECT_EQ(Refusal(good + ":0100010022DG\n"), refusal(IntelHexProblem::NotHexDigit));
    EXPECT_EQ(Refusal(good + ":0100010022Dz\n"), refusal(IntelHexProblem::NotHexDigit));
}

TEST(ParseIntelHex, FullLengthRecordIsAccepted) {
    std::vector<uint8_t> data(255);
    std::iota(data.begin(), data.end(), uint8_t{0});
    const std::vector<uint8_t> image = Image(DataRecord(0x0100, data));
    ASSERT_EQ(image.size(), 0x100u + 255u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), image.begin() + 0x100));
}

}  // namespace
}  // namespace korvid::core
