// MainDialog after the image is edited in the hex editor: the size and checksum
// fields describe the image that the commands hand to the library, and the source
// field marks that the image holds edits that are not in the file.
#include "workbench_fixture.h"

#include <cstdio>
#include <numeric>

namespace korvid::workbench {
namespace {

using testing::WorkbenchTest;

const std::string kMarker = " *";

// The checksum field's text for image, summed here independently of the dialog.
std::string ChecksumText(const std::vector<uint8_t>& image) {
    char text[32];
    std::snprintf(text, sizeof text, "校验和:0x%04X",
                  std::accumulate(image.begin(), image.end(), 0u) & 0xFFFF);
    return text;
}

std::string SizeText(std::size_t size) {
    char text[32];
    std::snprintf(text, sizeof text, "大小:0x%zX", size);
    return text;
}

class ImageEditTest : public WorkbenchTest {
protected:
    std::string LoadFile(const std::string& name, const std::string& bytes) {
        const std::string path = WriteFile(name, bytes);
        Load(path);
        return path;
    }
    // Copies offsets first..last and pastes them at offset to, as Ctrl+C and Ctrl+V do.
    void CopyAndPaste(uint32_t first, uint32_t last, uint32_t to) {
        hex_.core.SetSelection(first, last, false);
        const auto blocks = hex_.core.Copy();
        ASSERT_TRUE(blocks.has_value());
        hex_.core.SetSelection(to, to, false);
        if (hex_.core.Paste(blocks->binaryData) != 0) {
            Dialog().OnImageEdited();
        }
    }
    static std::string Counting(int length) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        std::iota(bytes.begin(), bytes.end(), '\0');
        return bytes;
    }
};

TEST_F(ImageEditTest, TypedNibbleUpdatesTheChecksumThatUpdateTargetSends) {
    LoadFile("code.bin", std::string(0x100, '\x5A'));
    const std::string loaded = Shown().checksum;
    ASSERT_TRUE(Type("4"));
    ASSERT_EQ(Image()[0], 0x4A);
    EXPECT_NE(Shown().checksum, loaded);

    Dialog().OnUpdateTarget();
    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    const std::vector<uint8_t>& sent = programmer_.calls[0].code;
    EXPECT_EQ(sent, Image());
    EXPECT_EQ(Shown().checksum, ChecksumText(sent));
    EXPECT_EQ(Shown().size, SizeText(sent.size()));
}

TEST_F(ImageEditTest, PastedBlockUpdatesTheChecksumThatUpdateProgrammerAndSaveUse) {
    LoadFile("code.bin", Counting(0x100));
    CopyAndPaste(0x10, 0x1F, 0x80);
    ASSERT_EQ(Image()[0x80], 0x10);
    ASSERT_EQ(Image()[0x8F], 0x1F);

    Dialog().OnUpdateProgrammer();  // the Max Count dialog is accepted as it stands
    view_.saveFiles.push_back(FilePath("edited.kpj"));
    Dialog().OnSaveKpj();
    ASSERT_EQ(programmer_.Functions(), (std::vector<std::string>{"UpdateMCU", "SaveKPJ"}));
    for (const auto& call : programmer_.calls) {
        EXPECT_EQ(call.code, Image()) << call.function;
        EXPECT_EQ(Shown().checksum, ChecksumText(call.code)) << call.function;
    }
    EXPECT_EQ(programmer_.calls[0].toTarget, 0u);
}

TEST_F(ImageEditTest, MarkerShowsEditsUntilNoneIsLeft) {
    const std::string first = LoadFile("first.bin", std::string(0x10, '\x00'));
    EXPECT_EQ(Shown().source, first);
    ASSERT_TRUE(Type("1"));
    EXPECT_EQ(Shown().source, first + kMarker);
    ASSERT_TRUE(Type("2"));
    CopyAndPaste(0, 0, 8);
    EXPECT_EQ(Shown().source, first + kMarker);  // marked once
    EXPECT_EQ(Shown().checksum, ChecksumText(Image()));

    // Auto Reload places the file again: the edit at 8 lies outside its bytes and
    // survives, so the mark stays.
    Dialog().OnAutoReloadClicked(true);
    WriteFile("first.bin", std::string(4, '\x01'));
    Dialog().OnActivated();
    const std::vector<uint8_t> reloaded = Image();
    EXPECT_EQ(reloaded[0], 0x01);
    EXPECT_EQ(reloaded[8], 0x12);
    EXPECT_EQ(Shown().source, first + kMarker);
    EXPECT_EQ(Shown().checksum, ChecksumText(reloaded));

    // A reload that covers every edited byte leaves no edit: no mark.
    WriteFile("first.bin", std::string(0x10, '\x02'));
    Dialog().OnActivated();
    EXPECT_EQ(Image(), std::vector<uint8_t>(0x10, 0x02));
    EXPECT_EQ(Shown().source, first);

    const std::string second = LoadFile("second.bin", std::string(2, '\x03'));
    EXPECT_EQ(Shown().source, second);
    EXPECT_EQ(Shown().size, SizeText(0x10));
    EXPECT_EQ(Shown().checksum, ChecksumText(Image()));
}

// Typing a byte back to its loaded value is no edit any more.
TEST_F(ImageEditTest, EditUndoneByHandDropsTheMark) {
    const std::string path = LoadFile("code.bin", std::string(4, '\x5A'));
    ASSERT_TRUE(Type("4"));
    EXPECT_EQ(Shown().source, path + kMarker);
    hex_.core.PlaceCaret({0, true});
    ASSERT_TRUE(Type("5"));
    EXPECT_EQ(Shown().source, path);
}

TEST_F(ImageEditTest, EditedDumpIsDescribedLikeAnyImage) {
    programmer_.dumpBytes = std::vector<uint8_t>(256, 0x01);
    Dialog().OnDump();
    ASSERT_EQ(Shown().source, "读取信息完成 !");
    EXPECT_TRUE(Shown().size.empty());
    ASSERT_TRUE(Type("F"));
    EXPECT_EQ(Shown().source, "读取信息完成 !" + kMarker);
    EXPECT_EQ(Shown().size, SizeText(256));
    EXPECT_EQ(Shown().checksum, ChecksumText(Image()));
}

TEST_F(ImageEditTest, WriteProtectKeepsTheImageAndItsFields) {
    const std::string path = LoadFile("code.bin", Counting(0x40));
    const std::vector<uint8_t> loaded = Image();
    const MainDialogState before = Shown();
    Dialog().OnWriteProtectClicked(true);
    EXPECT_FALSE(Type("7"));
    CopyAndPaste(0x10, 0x1F, 0x20);
    EXPECT_EQ(Image(), loaded);
    EXPECT_EQ(Shown().source, path);
    EXPECT_EQ(Shown().size, before.size);
    EXPECT_EQ(Shown().checksum, before.checksum);
    Dialog().OnUpdateTarget();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    EXPECT_EQ(programmer_.calls[0].code, loaded);
}

}  // namespace
}  // namespace korvid::workbench
