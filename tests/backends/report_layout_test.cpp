#include "link/backends/report_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/backends/hidapi_bus.h"

namespace korvid::platform {
namespace {

using Bytes = std::vector<uint8_t>;

// A raw transfer that hands out `answer` the way hidraw does (cut to the room
// given) and records the room it was given.
struct FakeRaw {
    Bytes answer;
    int result = 1;  // > 0: deliver the answer; 0: time-out; < 0: failure
    size_t capacitySeen = 0;
    uint8_t firstByteSeen = 0;

    RawTransfer transfer() {
        return [this](uint8_t* buffer, size_t capacity) {
            capacitySeen = capacity;
            firstByteSeen = buffer[0];
            if (result <= 0) {
                return result;
            }
            const size_t n = std::min(answer.size(), capacity);
            std::copy_n(answer.begin(), n, buffer);
            return static_cast<int>(n);
        };
    }
};

TEST(ReportLayout, UnnumberedInputGoesBehindAZeroByte) {
    FakeRaw raw{{0x04, 0xA1, 0xA2, 0xA3, 0xA4}};
    Bytes report(65, 0xEE);
    EXPECT_EQ(readInputInWindowsLayout(raw.transfer(), false, 65, report.data(), report.size()),
              ReadResult::Report);
    EXPECT_EQ(raw.capacitySeen, 64u);
    Bytes expected(65, 0x00);
    std::copy(raw.answer.begin(), raw.answer.end(), expected.begin() + 1);
    EXPECT_EQ(report, expected);  // short report padded with zeros
}

TEST(ReportLayout, NumberedInputKeepsItsIdentifierInByteZero) {
    FakeRaw raw{{0x02, 0x10, 0x20}};
    Bytes report(9, 0xEE);
    EXPECT_EQ(readInputInWindowsLayout(raw.transfer(), true, 9, report.data(), report.size()),
              ReadResult::Report);
    EXPECT_EQ(raw.capacitySeen, 9u);
    EXPECT_EQ(report, (Bytes{0x02, 0x10, 0x20, 0, 0, 0, 0, 0, 0}));
}

TEST(ReportLayout, SmallBufferStillConsumesTheWholeReport) {
    FakeRaw raw{Bytes(64, 0x33)};
    Bytes report(4, 0xEE);
    EXPECT_EQ(readInputInWindowsLayout(raw.transfer(), false, 65, report.data(), report.size()),
              ReadResult::Report);
    EXPECT_EQ(raw.capacitySeen, 64u);
    EXPECT_EQ(report, (Bytes{0x00, 0x33, 0x33, 0x33}));

    // Even a one-byte buffer on a device without input reports gives the read room.
    Bytes tiny(1, 0xEE);
    EXPECT_EQ(readInputInWindowsLayout(raw.transfer(), false, 0, tiny.data(), tiny.size()),
              ReadResult::Report);
    EXPECT_EQ(raw.capacitySeen, 1u);
    EXPECT_EQ(tiny, Bytes{0x00});
}

TEST(ReportLayout, TimeoutAndErrorLeaveTheBufferUntouched) {
    Bytes report(65, 0xEE);
    FakeRaw timeout{{}, 0};
    EXPECT_EQ(readInputInWindowsLayout(timeout.transfer(), false, 65, report.data(), 65),
              ReadResult::Timeout);
    FakeRaw failure{{}, -1};
    EXPECT_EQ(readInputInWindowsLayout(failure.transfer(), true, 65, report.data(), 65),
              ReadResult::Error);
    EXPECT_EQ(report, Bytes(65, 0xEE));
    EXPECT_EQ(readInputInWindowsLayout(timeout.transfer(), false, 65, report.data(), 0),
              ReadResult::Error);
}

TEST(ReportLayout, FeatureAnswerKeepsThePresetIdentifierAndIsPadded) {
    FakeRaw raw{{0x00, 0x12, 0x34}};
    Bytes report(65, 0xEE);
    report[0] = 0x00;
    EXPECT_TRUE(getFeatureInWindowsLayout(raw.transfer(), report.data(), report.size()));
    EXPECT_EQ(raw.capacitySeen, 65u);
    EXPECT_EQ(raw.firstByteSeen, 0x00);
    Bytes expected(65, 0x00);
    expected[1] = 0x12;
    expected[2] = 0x34;
    EXPECT_EQ(report, expected);

    FakeRaw failure{{}, -1};
    Bytes untouched(65, 0xEE);
    EXPECT_FALSE(getFeatureInWindowsLayout(failure.transfer(), untouched.data(), 65));
    EXPECT_EQ(untouched, Bytes(65, 0xEE));
    EXPECT_FALSE(getFeatureInWindowsLayout(raw.transfer(), untouched.data(), 0));
}

TEST(HidEnumeration, RepeatedPathsAreDroppedInOrder) {
    const auto hid = [](const char* path, uint16_t vendorId, uint16_t productId) {
        return HidDeviceInfo{path, vendorId, productId, "", "", true};
    };
    const std::vector<HidDeviceInfo> listed = {
        hid("/dev/hidraw3", 0x4C7B, 0x0323), hid("/dev/hidraw1", 0x046D, 0xC52B),
        hid("/dev/hidraw3", 0x4C7B, 0x0323), hid("/dev/hidraw1", 0x046D, 0xC52B),
        hid("/dev/hidraw2", 0x4C7B, 0x0323)};
    const auto kept = dropRepeatedPaths(listed);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].path, "/dev/hidraw3");
    EXPECT_EQ(kept[1].path, "/dev/hidraw1");
    EXPECT_EQ(kept[2].path, "/dev/hidraw2");
}

}  // namespace
}  // namespace korvid::platform
