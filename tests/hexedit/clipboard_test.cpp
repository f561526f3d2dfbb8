// Copy text and "BinaryData" blocks, paste into the buffer, foreign blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "hex_clipboard.h"
#include "hex_edit_fixture.h"

namespace korvid::hexedit {
namespace {

using testing::CountingBytes;
using testing::MakeCore;

// A "BinaryData" block whose header claims count bytes, followed by bytes.
std::vector<uint8_t> Block(uint32_t count, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> block(4 + bytes.size());
    for (int i = 0; i < 4; ++i) {
        block[i] = static_cast<uint8_t>(count >> (8 * i));
    }
    std::copy(bytes.begin(), bytes.end(), block.begin() + 4);
    return block;
}

TEST(HexEditCopy, SingleByte) {
    auto core = MakeCore(std::vector<uint8_t>{0x00, 0x3C, 0x00}, 4);
    core.SetSelection(1, 1, false);
    const auto blocks = core.Copy();
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->text, "3C\n");
    EXPECT_EQ(blocks->binaryData, (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0x3C}));
}

TEST(HexEditCopy, ShortSelectionStartsAtColumnZero) {
    auto core = MakeCore(CountingBytes(64), 4);
    core.SetSelection(14, 17, false);
    EXPECT_EQ(core.Copy()->text, "0E 0F 10 11\n");
}

TEST(HexEditCopy, LongSelectionIsAlignedWithTheRows) {
    auto core = MakeCore(CountingBytes(64), 4);
    core.SetSelection(14, 40, false);
    const auto blocks = core.Copy();
    const std::string expected = std::string(42, ' ') + "0E 0F\n" +
                                 "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F\n" +
                                 "20 21 22 23 24 25 26 27 28\n";
    EXPECT_EQ(blocks->text, expected);
    EXPECT_EQ(blocks->binaryData.size(), 4u + 27u);
    EXPECT_EQ(blocks->binaryData[0], 27);
    EXPECT_EQ(blocks->binaryData[4], 14);
    EXPECT_EQ(blocks->binaryData.back(), 40);
}

TEST(HexEditCopy, SelectionOfRowLengthPlusOneIsAligned) {
    // 17 bytes (e - s = 16 = n) are not more than n: they start at column 0.
    EXPECT_EQ(BuildCopyText(CountingBytes(17), 3, 16).substr(0, 3), "00 ");
    // 18 bytes from column 3 are led by nine spaces.
    EXPECT_EQ(BuildCopyText(CountingBytes(18), 3, 16).substr(0, 11), "         00");
}

TEST(HexEditCopy, NothingWithoutSelection) {
    auto core = MakeCore(CountingBytes(64), 4);
    EXPECT_FALSE(core.Copy());
}

TEST(HexEditPaste, CutAtTheEndOfTheBuffer) {
    auto core = MakeCore(std::vector<uint8_t>(20, 0), 4);
    core.SetSelection(16, 16, false);
    const auto block = Block(10, CountingBytes(10));
    EXPECT_EQ(core.Paste(block), 4u);
    EXPECT_EQ(core.GetDataSize(), 20u);
    EXPECT_EQ(core.Data()[15], 0);
    EXPECT_EQ(core.Data()[16], 0);
    EXPECT_EQ(core.Data()[19], 3);
    EXPECT_EQ(core.Cursor().SelectionStart(), 16u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 19u);
    EXPECT_EQ(core.Caret(), (CaretPosition{19, false}));
}

TEST(HexEditPaste, StartsAtTheSelectionNotTheCaretAndIgnoresItsLength) {
    auto core = MakeCore(std::vector<uint8_t>(40, 0), 4);
    core.KeyDown(HexKey::End, testing::kPlain);
    core.SetSelection(3, 4, false);
    EXPECT_EQ(core.Paste(Block(5, {9, 8, 7, 6, 5})), 5u);
    EXPECT_EQ(core.Data()[2], 0);
    EXPECT_EQ(core.Data()[3], 9);
    EXPECT_EQ(core.Data()[7], 5);
    EXPECT_EQ(core.Data()[8], 0);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 7u);
    EXPECT_EQ(core.Caret(), (CaretPosition{7, false}));
}

TEST(HexEditPaste, AtTheCaretWithoutSelectionAndMadeVisible) {
    auto core = MakeCore(std::vector<uint8_t>(400, 0), 4);
    core.KeyDown(HexKey::Right, testing::kPlain);  // offset 0, low nibble
    core.SetTopRow(20);
    EXPECT_EQ(core.Paste(Block(2, {0xAA, 0xBB})), 2u);
    EXPECT_EQ(core.Data()[0], 0xAA);
    EXPECT_EQ(core.Viewport().TopRow(), 0u);
}

TEST(HexEditPaste, ForeignBlockShorterThanItsCount) {
    auto core = MakeCore(std::vector<uint8_t>(20, 0), 4);
    EXPECT_EQ(core.Paste(Block(1000, {1, 2, 3})), 3u);
    EXPECT_EQ(core.Data()[2], 3);
    EXPECT_EQ(core.Data()[3], 0);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 2u);
}

TEST(HexEditPaste, EmptyOrMalformedBlocksChangeNothing) {
    auto core = MakeCore(std::vector<uint8_t>(20, 0x11), 4);
    core.KeyDown(HexKey::Down, testing::kPlain);
    const std::vector<std::vector<uint8_t>> blocks = {
        Block(0, {}), Block(0, {1, 2, 3}), {}, {5, 0, 0}, Block(4, {})};
    for (const auto& block : blocks) {
        EXPECT_EQ(core.Paste(block), 0u);
    }
    EXPECT_EQ(core.Data()[0], 0x11);
    EXPECT_EQ(core.Data()[16], 0x11);
    EXPECT_FALSE(core.Cursor().HasSelection());
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
}

TEST(HexEditPaste, RefusedReadOnlyOrWithoutData) {
    auto core = MakeCore(std::vector<uint8_t>(20, 0), 4);
    core.SetReadOnly(true);
    EXPECT_EQ(core.Paste(Block(1, {7})), 0u);
    EXPECT_EQ(core.Data()[0], 0);
    core.SetReadOnly(false);
    core.SetData(nullptr, 0);
    EXPECT_EQ(core.Paste(Block(1, {7})), 0u);
}

TEST(BinaryDataBlock, RoundTripAndLittleEndianCount) {
    std::vector<uint8_t> bytes(0x0102, 0xCD);
    const auto block = BuildBinaryDataBlock(bytes);
    ASSERT_EQ(block.size(), 4u + 0x0102);
    EXPECT_EQ(block[0], 0x02);
    EXPECT_EQ(block[1], 0x01);
    EXPECT_EQ(block[2], 0x00);
    EXPECT_EQ(block[3], 0x00);
    const auto parsed = ParseBinaryDataBlock(block);
    EXPECT_EQ(parsed.size(), bytes.size());
    EXPECT_EQ(parsed.data(), block.data() + 4);
}

TEST(BinaryDataBlock, ExtraTrailingBytesAreNotPasted) {
    const auto block = Block(2, {1, 2, 3, 4});
    EXPECT_EQ(ParseBinaryDataBlock(block).size(), 2u);
}

}  // namespace
}  // namespace korvid::hexedit
