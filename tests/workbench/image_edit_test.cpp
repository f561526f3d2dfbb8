// MainDialog after the image is edited in the hex editor: the size and checksum
// fields describe the image that the commands hand to the library, and the source
// field marks that the image no longer equals the file.
#include "dialog_fixture.h"

#include <numeric>

namespace korvid::workbench {
namespace {

using testing::MainDialogTest;

const QString kMarker = " *";

// The checksum field's text for image, summed here independently of the dialog.
QString ChecksumText(const std::vector<uint8_t>& image) {
    const unsigned sum = std::accumulate(image.begin(), image.end(), 0u) & 0xFFFF;
    return QString::fromUtf8("校验和:0x") +
           QStringLiteral("%1").arg(sum, 4, 16, QChar('0')).toUpper();
}

QString SizeText(std::size_t size) {
    return QString::fromUtf8("大小:0x") + QString::number(size, 16).toUpper();
}

class ImageEditTest : public MainDialogTest {
protected:
    // Loads bytes from name as "AP (Code)" and gives the hex editor the focus.
    QString Load(const QString& name, const QByteArray& bytes) {
        const QString path = WriteFile(name, bytes);
        QueueLoad(path);
        Dialog().OnLoad();
        Dialog().show();
        Dialog().HexEdit().setFocus();
        return path;
    }
    CHexEditBase& Hex() { return Dialog().HexEdit(); }
    QString Source() { return Find<QLineEdit>(1038)->text(); }
    QString Size() { return Find<QLineEdit>(1039)->text(); }
    QString Checksum() { return Find<QLineEdit>(1040)->text(); }
    // Copies offsets first..last with Ctrl+C and pastes them at offset to with Ctrl+V.
    void CopyAndPaste(uint32_t first, uint32_t last, uint32_t to) {
        Hex().SetSelection(first, last, false, false);
        QTest::keyClick(&Hex(), Qt::Key_C, Qt::ControlModifier);
        Hex().SetSelection(to, to, false, false);
        QTest::keyClick(&Hex(), Qt::Key_V, Qt::ControlModifier);
    }
    static QByteArray Counting(int length) {
        QByteArray bytes(length, '\0');
        std::iota(bytes.begin(), bytes.end(), '\0');
        return bytes;
    }
};

TEST_F(ImageEditTest, TypedNibbleUpdatesTheChecksumThatUpdateTargetSends) {
    Load("code.bin", QByteArray(0x100, '\x5A'));
    const QString loaded = Checksum();
    QTest::keyClick(&Hex(), Qt::Key_4);
    ASSERT_EQ(Image()[0], 0x4A);
    EXPECT_NE(Checksum(), loaded);

    Find<QPushButton>(1046)->click();
    ASSERT_EQ(programmer_.Functions(), std::vector<std::string>{"UpdateMCU"});
    const std::vector<uint8_t>& sent = programmer_.calls[0].code;
    EXPECT_EQ(sent, Image());
    EXPECT_EQ(Checksum(), ChecksumText(sent));
    EXPECT_EQ(Size(), SizeText(sent.size()));
}

TEST_F(ImageEditTest, PastedBlockUpdatesTheChecksumThatUpdateProgrammerAndSaveUse) {
    Load("code.bin", Counting(0x100));
    CopyAndPaste(0x10, 0x1F, 0x80);
    ASSERT_EQ(Image()[0x80], 0x10);
    ASSERT_EQ(Image()[0x8F], 0x1F);

    Find<QPushButton>(1047)->click();  // the Max Count dialog is accepted as it stands
    prompts_.saveFiles.push_back(dir_.filePath("edited.kpj"));
    Find<QPushButton>(1049)->click();
    ASSERT_EQ(programmer_.Functions(), (std::vector<std::string>{"UpdateMCU", "SaveKPJ"}));
    for (const auto& call : programmer_.calls) {
        EXPECT_EQ(call.code, Image()) << call.function;
        EXPECT_EQ(Checksum(), ChecksumText(call.code)) << call.function;
    }
    EXPECT_EQ(programmer_.calls[0].toTarget, 0u);
}

TEST_F(ImageEditTest, MarkerShowsAnEditUntilTheNextLoad) {
    const QString first = Load("first.bin", QByteArray(0x10, '\x00'));
    EXPECT_EQ(Source(), first);
    QTest::keyClick(&Hex(), Qt::Key_1);
    EXPECT_EQ(Source(), first + kMarker);
    QTest::keyClick(&Hex(), Qt::Key_2);
    CopyAndPaste(0, 0, 8);
    EXPECT_EQ(Source(), first + kMarker);  // marked once
    EXPECT_EQ(Checksum(), ChecksumText(Image()));

    // Auto Reload places the file again but keeps the source text and its marker:
    // edits outside the file's bytes survive it.
    Find<QCheckBox>(1068)->click();
    WriteFile("first.bin", QByteArray(4, '\x01'));
    Dialog().OnActivated();
    const std::vector<uint8_t> reloaded = Image();
    EXPECT_EQ(reloaded[8], 0x12);
    EXPECT_EQ(Source(), first + kMarker);
    EXPECT_EQ(Checksum(), ChecksumText(reloaded));

    const QString second = Load("second.bin", QByteArray(2, '\x03'));
    EXPECT_EQ(Source(), second);
    EXPECT_EQ(Size(), SizeText(0x10));
    EXPECT_EQ(Checksum(), ChecksumText(Image()));
}

TEST_F(ImageEditTest, EditedDumpIsDescribedLikeAnyImage) {
    programmer_.dumpBytes = std::vector<uint8_t>(256, 0x01);
    Find<QPushButton>(1048)->click();
    ASSERT_EQ(Source(), QString::fromUtf8("读取信息完成 !"));
    EXPECT_TRUE(Size().isEmpty());
    Dialog().show();
    Hex().setFocus();
    QTest::keyClick(&Hex(), Qt::Key_F);
    EXPECT_EQ(Source(), QString::fromUtf8("读取信息完成 !") + kMarker);
    EXPECT_EQ(Size(), SizeText(256));
    EXPECT_EQ(Checksum(), ChecksumText(Image()));
}

TEST_F(ImageEditTest, WriteProtectKeepsTheImageAndItsFields) {
    const QString path = Load("code.bin", Counting(0x40));
    const std::vector<uint8_t> loaded = Image();
    const QString size = Size();
    const QString checksum = Checksum();
    Find<QCheckBox>(1070)->click();
    QTest::keyClick(&Hex(), Qt::Key_7);
    CopyAndPaste(0x10, 0x1F, 0x20);
    EXPECT_EQ(Image(), loaded);
    EXPECT_EQ(Source(), path);
    EXPECT_EQ(Size(), size);
    EXPECT_EQ(Checksum(), checksum);
    Find<QPushButton>(1046)->click();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    EXPECT_EQ(programmer_.calls[0].code, loaded);
}

}  // namespace
}  // namespace korvid::workbench
