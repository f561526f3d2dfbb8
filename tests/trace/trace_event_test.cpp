// The text form of trace events: exact lines, escapes, records, the names of the
// seam's values, and malformed lines refused with a reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/trace/trace_event.h"
#include "link/trace/trace_names.h"

namespace korvid::trace {
namespace {

using ::testing::HasSubstr;

TraceEvent enumeration() {
    TraceEvent event{1600, "hid", Direction::None, "enumerate", {{"devices", "2"}}, {}};
    event.records.push_back({{"path", "/dev/hidraw3"}, {"vendor", "4c7b"}, {"product", "0323"}});
    event.records.push_back({{"path", "odd path [1] 100%"}, {"vendor", "046d"}});
    return event;
}

TEST(TraceLine, FormatsFieldsThenRecords) {
    EXPECT_EQ(FormatTraceLine(enumeration()),
              "1600 hid - enumerate devices=2 [path=/dev/hidraw3 vendor=4c7b product=0323] "
              "[path=odd%20path%20%5b1%5d%20100%25 vendor=046d]");
    const std::vector<uint8_t> report{0x1f, 0xc5, 0xff};
    const TraceEvent output{7,
                            "hid",
                            Direction::HostToDevice,
                            "output",
                            {{"length", "3"}, {"result", "ok"}, {"data", HexBytes(report)}},
                            {}};
    EXPECT_EQ(FormatTraceLine(output), "7 hid > output length=3 result=ok data=1fc5ff");
    EXPECT_EQ(FormatTraceLine({0, "pipe", Direction::DeviceToHost, "read", {}, {}}),
              "0 pipe < read");
}

TEST(TraceLine, ParsesBackWhatItFormats) {
    TraceEvent event = enumeration();
    event.add("empty", "").add("control", std::string("a\tb\n\x01\xff", 6));
    event.records.emplace_back();
    std::string error;
    const auto parsed = ParseTraceLine(FormatTraceLine(event), error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, event);
    EXPECT_EQ(*parsed->field("control"), std::string("a\tb\n\x01\xff", 6));
    EXPECT_EQ(parsed->field("absent"), nullptr);
}

TEST(TraceLine, AcceptsUpperCaseEscapesAndHex) {
    std::string error;
    const auto parsed = ParseTraceLine("5 pipe > write data=AbCd path=a%5Bb", error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(ParseHexBytes(*parsed->field("data")), (std::vector<uint8_t>{0xAB, 0xCD}));
    EXPECT_EQ(*parsed->field("path"), "a[b");
}

TEST(TraceLine, RefusesMalformedLinesWithAReason) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"", "expected \"<time> <link> <direction> <kind>\""},
        {"12 hid >", "expected \"<time> <link> <direction> <kind>\""},
        {"12 hid > output  length=65", "separated by one space"},
        {"12 hid > output ", "separated by one space"},
        {"-1 hid > output", "not a decimal number"},
        {"1e3 hid > output", "not a decimal number"},
        {"99999999999999999999999 hid > output", "not a decimal number"},
        {"12 h!d > output", "names of letters"},
        {"12 hid ? output", "direction \"?\""},
        {"12 hid >> output", "direction \">>\""},
        {"12 hid > output length", "expected key=value"},
        {"12 hid > output =65", "expected key=value"},
        {"12 hid > output data=1f%2", "bad character or escape"},
        {"12 hid > output data=1f%zz", "bad character or escape"},
        {"12 hid > output data=caf\xc3\xa9", "bad character or escape"},
        {"12 hid - enumerate [path=a", "without its closing ']'"},
        {"12 hid - enumerate path=a]", "']' outside a record"},
        {"12 hid - enumerate [path=a [vendor=b]]", "'[' inside a record"},
        {"12 hid - enumerate [ path=a]", "empty field"},
        {"12 hid - enumerate [path=a ]", "empty field"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        EXPECT_FALSE(ParseTraceLine(c.line, error));
        EXPECT_THAT(error, HasSubstr(c.reason));
    }
}

TEST(TraceLine, CommentsAndBlankLinesCarryNoEvent) {
    EXPECT_TRUE(IsTraceComment(""));
    EXPECT_TRUE(IsTraceComment("# korvid wire trace"));
    EXPECT_FALSE(IsTraceComment("0 api - call name=UpdateFW"));
    EXPECT_FALSE(IsTraceComment(" # indented"));
}

TEST(TraceHex, LowerCasePairsAndBack) {
    const std::vector<uint8_t> bytes{0x00, 0x0a, 0xff};
    EXPECT_EQ(HexBytes({}), "");
    EXPECT_EQ(HexBytes(bytes), "000aff");
    EXPECT_EQ(ParseHexBytes(""), std::vector<uint8_t>{});
    EXPECT_EQ(ParseHexBytes("000aFF"), (std::vector<uint8_t>{0x00, 0x0a, 0xff}));
    EXPECT_FALSE(ParseHexBytes("abc"));
    EXPECT_FALSE(ParseHexBytes("0g"));
    EXPECT_FALSE(ParseHexBytes("0x"));
}

TEST(TraceNames, EveryValueHasANameThatReadsBack) {
    using platform::OpenFailure;
    for (OpenFailure f : {OpenFailure::None, OpenFailure::NotFound, OpenFailure::AccessDenied,
                          OpenFailure::Busy, OpenFailure::Other}) {
        EXPECT_EQ(ParseOpenResult(OpenResultName(f)), f);
    }
    EXPECT_EQ(OpenResultName(OpenFailure::None), "ok");
    EXPECT_EQ(OpenResultName(OpenFailure::AccessDenied), "access-denied");
    using platform::ReadResult;
    for (ReadResult r : {ReadResult::Report, ReadResult::Timeout, ReadResult::Error}) {
        EXPECT_EQ(ParseReadResult(ReadResultName(r)), r);
    }
    using platform::TransferResult;
    for (TransferResult r :
         {TransferResult::Done, TransferResult::StartFailed, TransferResult::Timeout,
          TransferResult::Failed, TransferResult::DeviceFault}) {
        EXPECT_EQ(ParseTransferResult(TransferResultName(r)), r);
    }
    EXPECT_EQ(TransferResultName(TransferResult::DeviceFault), "device-fault");
    EXPECT_EQ(ParsePipe(PipeName(platform::Pipe::Read)), platform::Pipe::Read);
    EXPECT_EQ(ParsePipe(PipeName(platform::Pipe::Write)), platform::Pipe::Write);
    EXPECT_EQ(ParseSuccess(SuccessName(true)), true);
    EXPECT_EQ(ParseSuccess(SuccessName(false)), false);
    EXPECT_EQ(IdName(0x4C7B), "4c7b");
    EXPECT_EQ(IdName(0x000B), "000b");
    EXPECT_EQ(ParseId("030D"), 0x030D);
}

TEST(TraceNames, UnknownNamesAreRefused) {
    EXPECT_FALSE(ParseOpenResult("denied"));
    EXPECT_FALSE(ParseReadResult("ok"));
    EXPECT_FALSE(ParseTransferResult("ok"));
    EXPECT_FALSE(ParsePipe("control"));
    EXPECT_FALSE(ParseSuccess("done"));
    EXPECT_FALSE(ParseId("4c7"));
    EXPECT_FALSE(ParseId("4c7b0"));
    EXPECT_FALSE(ParseId("4c7g"));
    EXPECT_FALSE(ParseId("+c7b"));
}

}  // namespace
}  // namespace korvid::trace
