#include "link/backends/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvid::platform {
namespace {

using Bytes = std::vector<uint8_t>;

// A vendor-defined device with one 64-byte input and one 64-byte output report,
// no report identifiers: the shape of a HID programmer.
const Bytes kVendor64 = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage 1
    0xA1, 0x01,        // Collection (Application)
    0x09, 0x02,        //   Usage 2
    0x15, 0x00,        //   Logical Minimum 0
    0x26, 0xFF, 0x00,  //   Logical Maximum 255
    0x75, 0x08,        //   Report Size 8
    0x95, 0x40,        //   Report Count 64
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x03,        //   Usage 3
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
    0x08, 0x95, 0x40, 0x91, 0x02,  //   Output (Data, Variable, Absolute)
    0xC0,                          // End Collection
};

// A keyboard (report 1: modifiers, reserved byte, six keys; LED output with
// padding) and a consumer control (report 2: one 16-bit usage).
const Bytes kKeyboardAndConsumer = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Generic Desktop, Keyboard, Collection
    0x85, 0x01,                          //   Report ID 1
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01,
    0x95, 0x08, 0x81, 0x02,              //   8 modifier bits
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,  //   reserved byte (constant)
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,  //   5 LED bits
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,                                      //   3 padding bits
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00,
    0x29, 0x65, 0x81, 0x00,                    //   6 key codes
    0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,  // Consumer, Consumer Control, Collection
    0x85, 0x02,                                //   Report ID 2
    0x15, 0x00, 0x26, 0x3C, 0x02, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x75, 0x10,
    0x95, 0x01, 0x81, 0x00,  //   one 16-bit usage
    0xC0,
};

// A vendor device configured through feature reports of two sizes, with a short
// numbered input report.
const Bytes kFeatureReports = {
    0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75,
    0x08, 0x95, 0x3F, 0x09, 0x01, 0xB1, 0x02,                    // feature 1: 63 bytes
    0x85, 0x02, 0x95, 0x07, 0x09, 0x02, 0xB1, 0x02,              // feature 2: 7 bytes
    0x85, 0x03, 0x75, 0x01, 0x95, 0x04, 0x09, 0x03, 0x81, 0x02,  // input 3: 4 bits
    0x95, 0x04, 0x81, 0x03,                                      //   and 4 padding bits
    0xC0,
};

ReportDescriptorSummary summarize(const Bytes& descriptor) {
    auto summary = summarizeReportDescriptor(descriptor);
    EXPECT_TRUE(summary.has_value());
    return summary.value_or(ReportDescriptorSummary{});
}

void expectLengths(const Bytes& descriptor, size_t input, size_t output, size_t feature) {
    const ReportLengths lengths = summarize(descriptor).lengths;
    EXPECT_EQ(lengths.input, input);
    EXPECT_EQ(lengths.output, output);
    EXPECT_EQ(lengths.feature, feature);
}

TEST(ReportDescriptor, RealShapedDevices) {
    expectLengths(kVendor64, 65, 65, 0);
    EXPECT_FALSE(summarize(kVendor64).usesReportIds);

    expectLengths(kKeyboardAndConsumer, 9, 2, 0);
    EXPECT_TRUE(summarize(kKeyboardAndConsumer).usesReportIds);

    expectLengths(kFeatureReports, 2, 0, 64);
    EXPECT_TRUE(summarize(kFeatureReports).usesReportIds);
}

TEST(ReportDescriptor, EmptyDescriptorHasNoReports) {
    expectLengths({}, 0, 0, 0);
    EXPECT_FALSE(summarize({}).usesReportIds);
}

TEST(ReportDescriptor, PushAndPopRestoreSizeCountAndReportId) {
    expectLengths({0x85, 0x01, 0x75, 0x08, 0x95, 0x10,  // ID 1, 16 bytes
                   0xA4,                                // Push
                   0x85, 0x02, 0x75, 0x01, 0x95, 0x03,  // ID 2, 3 bits
                   0x81, 0x02,                          // input 2: 3 bits
                   0xB4,                                // Pop
                   0x81, 0x02, 0x81, 0x02},             // input 1: 2 x 16 bytes
                  33, 0, 0);
}

TEST(ReportDescriptor, BitsRoundUpToWholeBytes) {
    expectLengths({0x75, 0x01, 0x95, 0x09, 0x81, 0x02}, 3, 0, 0);  // 9 bits
    expectLengths({0x75, 0x00, 0x95, 0x00, 0x91, 0x02}, 0, 1, 0);  // empty report present
}

TEST(ReportDescriptor, LongReservedAndWideItemsAreSkippedOrReadWhole) {
    expectLengths({0xFE, 0x02, 0x10, 0xAA, 0xBB,               // long item, 2 data bytes
                   0x0D, 0x55,                                 // reserved item type
                   0x77, 0x08, 0x00, 0x00, 0x00,               // Report Size, 4-byte data
                   0x96, 0x20, 0x00,                           // Report Count, 2-byte data
                   0x09, 0x01, 0x0A, 0x01, 0x00, 0xB1, 0x02},  // usages, Feature
                  0, 0, 33);
}

TEST(ReportDescriptor, ReportsUpToTheKernelBufferAreAccepted) {
    const Bytes largest = {0x75, 0x08, 0x96, 0xFF, 0x3F, 0x81, 0x02};  // 16383 bytes
    expectLengths(largest, 16384, 0, 0);
    Bytes oneBitMore = largest;
    oneBitMore.insert(oneBitMore.end(), {0x75, 0x01, 0x95, 0x01, 0x81, 0x02});
    EXPECT_FALSE(summarizeReportDescriptor(oneBitMore));
    EXPECT_FALSE(summarizeReportDescriptor(
        Bytes{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}));
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0xB4}));              // Pop without Push
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0x85, 0x00}));        // Report ID 0
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0x86, 0x00, 0x01}));  // Report ID 256
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0x26, 0xFF}));        // short item cut
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0x27, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0xFE}));  // long item cut
    EXPECT_FALSE(summarizeReportDescriptor(Bytes{0xFE, 0x05, 0x10, 0xAA}));
}

// Every truncation of a real descriptor is parsed without reading past its end
// (each copy is exactly as long as the cut, so the sanitizer sees any overrun).
TEST(ReportDescriptor, EveryTruncationStaysInsideTheBuffer) {
    for (const Bytes* full : {&kVendor64, &kKeyboardAndConsumer, &kFeatureReports}) {
        for (size_t cut = 0; cut < full->size(); ++cut) {
            const Bytes prefix(full->begin(), full->begin() + cut);
            (void)summarizeReportDescriptor(prefix);
        }
    }
    // A cut right after a complete item keeps what came before it.
    expectLengths(Bytes(kVendor64.begin(), kVendor64.begin() + 20), 65, 0, 0);
}

}  // namespace
}  // namespace korvid::platform
