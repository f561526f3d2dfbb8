#include "link/backends/usb_selection.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include "link/backends/libusb_results.h"

namespace korvid::platform {
namespace {

TEST(PipeDeviceOrder, ByBusThenPortPath) {
    // As libusb lists them: newest first.
    const std::vector<UsbLocation> listed = {
        {2, {1}},     // 0
        {1, {3, 2}},  // 1: behind the hub on port 3
        {1, {3}},     // 2: the hub's own port sorts before the ports behind it
        {1, {1, 4}},  // 3
        {1, {10}},    // 4: port numbers compare as numbers
    };
    EXPECT_EQ(orderByLocation(listed), (std::vector<size_t>{3, 2, 1, 4, 0}));
    EXPECT_TRUE(orderByLocation({}).empty());
}

TEST(UsbLocationName, AsSysfsNamesTheDevice) {
    EXPECT_EQ(formatUsbLocation({1, {2}}), "1-2");
    EXPECT_EQ(formatUsbLocation({1, {2, 3}}), "1-2.3");
    EXPECT_EQ(formatUsbLocation({12, {10, 4, 255}}), "12-10.4.255");
    EXPECT_EQ(formatUsbLocation({3, {}}), "usb3");
}

TEST(PipeEndpoints, FirstBulkInAndFirstBulkOut) {
    const std::vector<EndpointDescription> endpoints = {
        {0x81, 0x03},  // interrupt IN: not a data pipe
        {0x02, 0x02},  // bulk OUT
        {0x83, 0x02},  // bulk IN
        {0x04, 0x02},  // a second bulk OUT
        {0x85, 0x02},  // a second bulk IN
    };
    const auto pipes = firstBulkPipes(endpoints);
    ASSERT_TRUE(pipes);
    EXPECT_EQ(pipes->in, 0x83);
    EXPECT_EQ(pipes->out, 0x02);

    EXPECT_FALSE(firstBulkPipes(std::vector<EndpointDescription>{{0x81, 0x02}}));
    EXPECT_FALSE(firstBulkPipes(std::vector<EndpointDescription>{{0x01, 0x02}, {0x82, 0x01}}));
    EXPECT_FALSE(firstBulkPipes({}));
}

TEST(LibusbResults, TransferOutcomes) {
    EXPECT_EQ(transferResultFromLibusb(LIBUSB_SUCCESS), TransferResult::Done);
    EXPECT_EQ(transferResultFromLibusb(LIBUSB_ERROR_TIMEOUT), TransferResult::Timeout);
    EXPECT_EQ(transferResultFromLibusb(LIBUSB_ERROR_PIPE), TransferResult::DeviceFault);
    for (int failed : {LIBUSB_ERROR_IO, LIBUSB_ERROR_OVERFLOW, LIBUSB_ERROR_NO_DEVICE}) {
        EXPECT_EQ(transferResultFromLibusb(failed), TransferResult::Failed) << failed;
    }
    for (int notStarted : {LIBUSB_ERROR_INVALID_PARAM, LIBUSB_ERROR_NO_MEM, LIBUSB_ERROR_BUSY}) {
        EXPECT_EQ(transferResultFromLibusb(notStarted), TransferResult::StartFailed) << notStarted;
    }
}

TEST(LibusbResults, OpenFailures) {
    EXPECT_EQ(openFailureFromLibusb(LIBUSB_ERROR_ACCESS), OpenFailure::AccessDenied);
    EXPECT_EQ(openFailureFromLibusb(LIBUSB_ERROR_NO_DEVICE), OpenFailure::NotFound);
    EXPECT_EQ(openFailureFromLibusb(LIBUSB_ERROR_BUSY), OpenFailure::Busy);
    EXPECT_EQ(openFailureFromLibusb(LIBUSB_ERROR_NOT_SUPPORTED), OpenFailure::Other);
}

}  // namespace
}  // namespace korvid::platform
