// MainDialog: the Load command, its file dialog, project files and Auto Reload.
#include "dialog_fixture.h"
#include "hex_records.h"
#include "toolchain_files.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QScopeGuard>
#include <QTimer>

#include <cstring>
#include <filesystem>

namespace korvid::workbench {
namespace {

using core::testing::DataRecord;
using core::testing::kEndOfFile;
using testing::MainDialogTest;

const QString kLibraryName = QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器");

class LoadTest : public MainDialogTest {};

TEST_F(LoadTest, DataAreaLoadAfterACodeLoadLeavesAGap) {
    QueueLoad(WriteFile("code.bin", QByteArray(0x1000, '\x11')));
    QueueLoad(WriteFile("data.bin", QByteArray(0x400, '\x22')), "2000");
    Dialog().OnLoad();
    EXPECT_EQ(Image().size(), 0x1000u);
    Dialog().OnLoad();
    EXPECT_EQ(Dialog().InsertAddress(), 0x2000u);
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x2400u);
    EXPECT_EQ(image[0x0FFF], 0x11);
    EXPECT_EQ(image[0x1000], 0xFF);
    EXPECT_EQ(image[0x1FFF], 0xFF);
    EXPECT_EQ(image[0x2000], 0x22);
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), dir_.filePath("data.bin"));
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x2400"));
    const unsigned sum = (0x1000 * 0x11 + 0x1000 * 0xFF + 0x400 * 0x22) & 0xFFFF;
    EXPECT_EQ(Find<QLineEdit>(1040)->text(),
              QString::fromUtf8("校验和:0x") +
                  QStringLiteral("%1").arg(sum, 4, 16, QChar('0')).toUpper());
    EXPECT_STREQ(Dialog().Job().codeName, "data.bin");
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(prompts_.openFilters.front(),
              "Intel Hex/Binary (*.hex *.ihx *.bin);;Vostrel project file (*.kpj);;All files (*)");
}

// The real file dialog, as "Load" runs it: what its filter list shows and which
// files the first filter lists, then a file typed by name.
TEST_F(LoadTest, OpenDialogShowsEachPatternOnceAndMatchesIntelHexInAnyCase) {
    for (const char* name : {"a.hex", "B.IHX", "c.Bin", "d.txt", "e.kpj", "f.ihex"}) {
        WriteFile(name, "x");
    }
    QStringList shownFilters;
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto close = qScopeGuard([dialog] { dialog->reject(); });  // after a failure
        const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* model = dialog->findChild<QFileSystemModel*>();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(types != nullptr && model != nullptr && name != nullptr);
        shownFilters = Items(*types);

        // The folder is listed in the background, maybe after the one the dialog
        // opened in; the time limit only keeps a broken listing from hanging.
        QEventLoop listing;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &listing,
                         [&](const QString& folder) {
                             if (folder == dir_.path()) {
                                 listing.quit();
                             }
                         });
        QTimer::singleShot(30000, &listing, &QEventLoop::quit);
        dialog->setDirectory(dir_.path());
        listing.exec();
        const QModelIndex folder = model->index(dir_.path());
        for (int row = 0; row < model->rowCount(folder); ++row) {
            listed << model->index(row, 0, folder).data().toString();
        }
        name->setText("B.IHX");
        close.dismiss();
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own checks run
    });
    QtUserPrompts prompts;
    EXPECT_EQ(prompts.OpenFileName(nullptr, PlainText::openFilter), dir_.filePath("B.IHX"));
    EXPECT_EQ(shownFilters, (QStringList{"Intel Hex/Binary (*.hex *.ihx *.bin)",
                                         "Vostrel project file (*.kpj)", "All files (*)"}));
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, (QStringList{"a.hex", "B.IHX", "c.Bin"}));
}

TEST_F(LoadTest, IntelHexExtensionsInAnyCaseAreConvertedOthersAreRaw) {
    const QByteArray hex = QByteArray::fromStdString(DataRecord(0x1230, {1, 2, 3, 4}) + kEndOfFile);
    for (const QString name : {"gaps.HeX", "gaps.ihx", "gaps.IHEX"}) {
        dialog_.reset();
        QueueLoad(WriteFile(name, hex));
        Dialog().OnLoad();
        const std::vector<uint8_t> image = Image();
        ASSERT_EQ(image.size(), 0x1234u) << name.toStdString();
        EXPECT_EQ(image[0], 0xFF);
        EXPECT_EQ(image[0x1233], 4);
        EXPECT_EQ(Dialog().ReloadExtension(), QFileInfo(name).suffix().toUpper());
    }

    Choose("Series A", "Part A2");
    QueueLoad(WriteFile("raw.txt", hex));
    Dialog().OnLoad();
    EXPECT_EQ(Image().size(), static_cast<std::size_t>(hex.size()));
    QueueLoad(WriteFile("noextension", "AB"));
    Dialog().OnLoad();
    EXPECT_EQ(Dialog().ReloadExtension(), "");
    EXPECT_EQ(Image()[0], 'A');
}

TEST_F(LoadTest, SdccOutputLoadsUnderItsOwnNameAsObjcopyConvertsIt) {
    const std::string dir = QFile::encodeName(dir_.path()).toStdString();
    const std::string ihx = toolchain::CompileWithSdcc(dir, "blink", toolchain::kSdccBlinkProgram);
    const std::vector<uint8_t> reference = toolchain::ObjcopyImage(ihx);
    ASSERT_FALSE(reference.empty());
    QueueLoad(QString::fromStdString(ihx));
    Dialog().OnLoad();
    EXPECT_EQ(Image(), reference);
    EXPECT_EQ(Find<QLineEdit>(1039)->text(),
              QString::fromUtf8("大小:0x") + QString::number(reference.size(), 16).toUpper());
    EXPECT_STREQ(Dialog().Job().codeName, "blink.ihx");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(LoadTest, HexWithoutDataGrowsTheImageToTheInsertAddress) {
    QueueLoad(WriteFile("empty.hex", QByteArray::fromStdString(kEndOfFile)), "1000");
    Dialog().OnLoad();
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x1000u);
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_STREQ(Dialog().Job().codeName, "empty.hex");
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x1000"));
}

TEST_F(LoadTest, TooLargeFileAsksAndCancelKeepsOnlyTheReloadFile) {
    const QString big = WriteFile("big.bin", QByteArray(0x3900, '\x33'));
    QueueLoad(big);
    prompts_.answers.push_back(QMessageBox::Cancel);
    Dialog().OnLoad();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    const auto& question = prompts_.messages[0];
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.caption, kLibraryName);
    EXPECT_EQ(question.text, QString::fromUtf8("文件太大，多余的文件数据将被截去 !"));
    EXPECT_EQ(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(question.defaultButton, QMessageBox::Cancel);
    EXPECT_EQ(Image().size(), 0u);
    EXPECT_FALSE(CodeCommandsEnabled());
    EXPECT_EQ(Dialog().ReloadPath(), big);

    QueueLoad(big, "3000");
    prompts_.answers.push_back(QMessageBox::Ok);
    Dialog().OnLoad();
    EXPECT_EQ(Image().size(), 0x3800u);
    EXPECT_EQ(Image()[0x3000], 0x33);
}

TEST_F(LoadTest, CancelledAreaDialogLeavesTheDefaultDataAddress) {
    prompts_.dialogs.push_back([](QDialog&) { return int{QDialog::Rejected}; });
    Dialog().OnLoad();
    EXPECT_EQ(Dialog().InsertAddress(), 0x1000u);  // Part A1's IAP start
    EXPECT_TRUE(prompts_.openFilters.empty());
    EXPECT_EQ(prompts_.ranDialogs, std::vector<QString>{"id129"});
}

TEST_F(LoadTest, CancelledFileDialogLoadsNothing) {
    prompts_.openFiles.push_back(QString());
    Dialog().OnLoad();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Image().size(), 0u);
}

TEST_F(LoadTest, InsertAddressOverTheChipSizeIsRefused) {
    QueueLoad(WriteFile("code.bin", "x"), "3800");
    Dialog().OnLoad();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(prompts_.messages[0].caption, kLibraryName);
    EXPECT_EQ(prompts_.messages[0].text, QString::fromUtf8("插入位置超过 !"));
    EXPECT_EQ(prompts_.openFilters.size(), 0u);
}

TEST_F(LoadTest, UnreadableFileIsReportedWithItsCause) {
    const QString missing = dir_.filePath("missing.hex");
    QueueLoad(missing);
    QueueLoad(dir_.path());
    Dialog().OnLoad();
    Dialog().OnLoad();
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(prompts_.messages[0].text,
              QString::fromUtf8("不能打开 \"") + missing + "\",\nError code = 2");
    EXPECT_EQ(prompts_.messages[1].text,
              QString::fromUtf8("不能打开 \"") + dir_.path() + "\",\nError code = 5");
    EXPECT_TRUE(Dialog().ReloadPath().isEmpty());
    EXPECT_FALSE(CodeCommandsEnabled());
}

// Writes a project through the library, as "Save *.KPJ" does.
QString SaveProject(const QString& path, int32_t partIndex, uint32_t optionStates,
                    const char* codeName, std::vector<uint8_t> code) {
    JobRecord job{};
    std::strncpy(job.codeName, codeName, sizeof job.codeName - 1);
    job.partIndex = partIndex;
    job.optionStates[0] = optionStates;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    EXPECT_EQ(SaveKPJ(QFile::encodeName(path).constData(), &job, 0), RC_OK);
    return path;
}

TEST_F(LoadTest, ProjectLoadSelectsItsPartAndKeepsTheImageFilesCodeName) {
    QueueLoad(WriteFile("first.bin", QByteArray(8, '\x01')));
    Dialog().OnLoad();
    Find<QCheckBox>(1010)->click();  // set on the current part; the project has it off

    const QString project = SaveProject(dir_.filePath("job.KPJ"), 1, 0b01010, "project.hex",
                                        std::vector<uint8_t>(0x20, 0x42));
    QueueLoad(project);
    Dialog().OnLoad();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Find<QComboBox>(1002)->currentText(), "Part A2");
    EXPECT_EQ(Dialog().Job().partIndex, 1);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b01010u);
    EXPECT_FALSE(Find<QCheckBox>(1010)->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(1011)->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(1013)->isChecked());
    EXPECT_EQ(Image(), std::vector<uint8_t>(0x20, 0x42));
    EXPECT_EQ(Find<QLineEdit>(1038)->text(),
              project + QString::fromUtf8(" (代码名称: \"project.hex\")"));
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x20"));
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), QString::fromUtf8("校验和:0x0840"));
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_STREQ(Dialog().Job().codeName, "first.bin");
    EXPECT_TRUE(Dialog().ReloadPath().isEmpty());  // the part change emptied it

    // Saving now stores the image file's code name, not the project's.
    const QString saved = dir_.filePath("again.kpj");
    JobRecord job = Dialog().Job();
    std::vector<uint8_t> code = Image();
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    ASSERT_EQ(SaveKPJ(QFile::encodeName(saved).constData(), &job, 0), RC_OK);
    JobRecord reread{};
    uint32_t icp = 0;
    ASSERT_EQ(LoadKPJInfo(QFile::encodeName(saved).constData(), &reread, &icp), RC_OK);
    EXPECT_STREQ(reread.codeName, "first.bin");
}

TEST_F(LoadTest, ProjectForTheSamePartTakesExactlyItsOptions) {
    Find<QCheckBox>(1010)->click();
    const QString project = SaveProject(dir_.filePath("same.kpj"), 0, 0b00100, "same", {1, 2});
    QueueLoad(project);
    Dialog().OnLoad();
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b00100u);
    EXPECT_FALSE(Find<QCheckBox>(1010)->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(1012)->isChecked());
}

TEST_F(LoadTest, RefusedProjectsShowTheirMessageAndChangeNothing) {
    QueueLoad(WriteFile("code.bin", QByteArray(4, '\x07')));
    Dialog().OnLoad();
    const QString missing = dir_.filePath("missing.kpj");
    QueueLoad(missing);
    Dialog().OnLoad();
    QueueLoad(WriteFile("junk.kpj", QByteArray(300, '\x00')));
    Dialog().OnLoad();
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(prompts_.messages[0].text, QString::fromUtf8("不能打开 \"") + missing + "\" !");
    EXPECT_EQ(prompts_.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(prompts_.messages[1].caption, kLibraryName);
    const QStringList refusals{QString::fromUtf8("Vostrel脚本检测出错 !"),
                               QString::fromUtf8("工具不匹配，请使用合适的工具 !"),
                               QString::fromUtf8("应用程序版本不匹配，请与Vostrel代理联系 !"),
                               QString::fromUtf8("错误的代码大小或者校验和错误 !"),
                               QString::fromUtf8("不是 \"8051 ISP-ICP编程器\" KPJ文件 !")};
    EXPECT_TRUE(refusals.contains(prompts_.messages[1].text))
        << prompts_.messages[1].text.toStdString();
    EXPECT_EQ(Image(), std::vector<uint8_t>(4, 0x07));
    EXPECT_STREQ(Dialog().Job().codeName, "code.bin");
}

TEST_F(LoadTest, AutoReloadReadsTheFileAgainOnActivation) {
    const QString path = WriteFile("live.bin", QByteArray(4, '\x01'));
    QueueLoad(path);
    Dialog().OnLoad();
    Dialog().OnActivated();  // Auto Reload off: nothing happens
    WriteFile("live.bin", QByteArray(0x3900, '\x02'));
    Dialog().OnActivated();
    EXPECT_EQ(Image().size(), 4u);

    Find<QCheckBox>(1068)->click();
    Dialog().OnActivated();  // grown past the flash: cut without asking
    EXPECT_EQ(Image().size(), 0x3800u);
    EXPECT_EQ(Image()[0x37FF], 0x02);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Find<QLineEdit>(1038)->text(), path);
    EXPECT_EQ(Find<QLineEdit>(1039)->text(), QString::fromUtf8("大小:0x3800"));

    QFile::remove(path);
    Dialog().OnActivated();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text,
              QString::fromUtf8("不能打开 \"") + path + "\",\nError code = 2");
    EXPECT_TRUE(Dialog().ReloadPath().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(1038)->text().isEmpty());
    Dialog().OnActivated();  // no further attempts
    EXPECT_EQ(prompts_.messages.size(), 1u);
}

TEST_F(LoadTest, AutoReloadConvertsByTheSameExtensions) {
    const QString path = WriteFile("live.Ihx", QByteArray::fromStdString(DataRecord(0, {1, 2})));
    QueueLoad(path);
    Dialog().OnLoad();
    Find<QCheckBox>(1068)->click();
    WriteFile("live.Ihx", QByteArray::fromStdString(DataRecord(0, {3, 4, 5}) + kEndOfFile));
    Dialog().OnActivated();
    EXPECT_EQ(Image(), (std::vector<uint8_t>{3, 4, 5}));
    EXPECT_EQ(Find<QLineEdit>(1040)->text(), QString::fromUtf8("校验和:0x000C"));
}

TEST_F(LoadTest, AutoReloadAfterACancelledAreaDialogUsesTheDataAddress) {
    const QString path = WriteFile("data.bin", QByteArray(2, '\x09'));
    QueueLoad(path);
    Dialog().OnLoad();
    prompts_.dialogs.push_back([](QDialog&) { return int{QDialog::Rejected}; });
    Dialog().OnLoad();
    Find<QCheckBox>(1068)->click();
    Dialog().OnActivated();
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 0x1002u);
    EXPECT_EQ(image[0], 0x09);
    EXPECT_EQ(image[0x1001], 0x09);
}

}  // namespace
}  // namespace korvid::workbench
