#include "hex_text.h"
#include "memory_choices.h"
#include "version_text.h"

#include <gtest/gtest.h>

namespace korvid::workbench {
namespace {

TEST(HexText, ScansLikePercentX) {
    EXPECT_EQ(ScanHex(""), std::nullopt);
    EXPECT_EQ(ScanHex("  \t"), std::nullopt);
    EXPECT_EQ(ScanHex("g12"), std::nullopt);
    EXPECT_EQ(ScanHex("  1f2g"), 0x1F2u);
    EXPECT_EQ(ScanHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ScanHex("123456789"), 0xFFFFFFFFu);  // saturates, never wraps to a low address
    EXPECT_EQ(ScanHex("000000001"), 1u);
}

TEST(MemoryChoices, ListsAndTips) {
    EXPECT_EQ(ParseMemoryList("0"), (std::vector<uint32_t>{0}));
    EXPECT_EQ(ParseMemoryList("0,400,1000"), (std::vector<uint32_t>{0, 0x400, 0x1000}));
    EXPECT_EQ(IspMemoryItemText(0), "NA");
    EXPECT_EQ(IspMemoryItemText(0x1000), "4.0 k");
    EXPECT_EQ(IapMemoryItemText(0), "0.0 k");
    EXPECT_EQ(IapMemoryItemText(1), "0.5 k");
    EXPECT_EQ(IapMemoryItemText(28), "14.0 k");
    EXPECT_EQ(IapMemoryItemCount(0x3800, 0), 29u);
    EXPECT_EQ(IspMemoryTip(0x3800, 0), "NA");
    EXPECT_EQ(IspMemoryTip(0x4000, 0x1000), "3000h - 3FFFh");
    EXPECT_EQ(IapMemoryTip(0x3800, 0, 0), "NA");
    EXPECT_EQ(IapMemoryTip(0x3800, 0, 1), "3600h - 37FFh");
}

TEST(VersionText, HexadecimalMajorAndTwoDigitMinor) {
    EXPECT_EQ(VersionText(0x0710), "7.10");
    EXPECT_EQ(VersionText(0x0705), "7.05");
    EXPECT_EQ(VersionText(0x0A00), "A.00");
}

}  // namespace
}  // namespace korvid::workbench
