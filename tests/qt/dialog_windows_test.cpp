// The Qt views of the smaller dialogs over their models: the area dialog, the Max
// Count and serial number dialog and the re-flash progress, with real key presses
// into their fields.
#include "AreaDialogWindow.h"
#include "FirmwareUpdate.h"
#include "MaxCountDialogWindow.h"
#include "ProgressDialogWindow.h"
#include "fake_prompts.h"
#include "key_presses.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <thread>

namespace korvid::qt {
namespace {

using testing::FindControl;
using testing::PressDelete;
using workbench::Language;

class DialogWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
};

// Replaces the field's text by typing text, one key per character.
void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

TEST_F(DialogWindowTest, AreaDialogShowsItsModelAndTakesOnlyHexDigits) {
    workbench::AreaDialog model(0x1000, Language::Chinese);
    AreaDialogWindow dialog(model);
    auto* code = FindControl<QRadioButton>(dialog, 1042);
    auto* data = FindControl<QRadioButton>(dialog, 1043);
    auto* address = FindControl<QLineEdit>(dialog, 1044);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("选择AP/IAP区域"));
    EXPECT_EQ(code->text(), QString::fromUtf8("AP(程序)"));
    EXPECT_TRUE(code->isChecked());
    EXPECT_FALSE(address->isEnabled());
    EXPECT_EQ(address->text(), "1000");
    data->click();
    EXPECT_TRUE(address->isEnabled());
    address->selectAll();
    QTest::keyClicks(address, "1g2a-f");
    EXPECT_EQ(address->text(), "12AF");
    FindControl<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.OnOk(), 0x12AFu);
    code->click();
    EXPECT_FALSE(address->isEnabled());
    EXPECT_EQ(model.OnOk(), 0u);
}

TEST_F(DialogWindowTest, AddressFieldEditsWithDeleteAndTheOtherEditingKeys) {
    workbench::AreaDialog model(0x12345, Language::Chinese);
    AreaDialogWindow dialog(model);
    FindControl<QRadioButton>(dialog, 1043)->click();
    QLineEdit* field = FindControl<QLineEdit>(dialog, 1044);
    QTest::keyClick(field, Qt::Key_Home);
    PressDelete(field);
    EXPECT_EQ(field->text(), "2345");
    QTest::keyClick(field, Qt::Key_Right);
    PressDelete(field);
    EXPECT_EQ(field->text(), "245");
    QTest::keyClick(field, Qt::Key_End, Qt::ShiftModifier);  // selects "45"
    PressDelete(field, Qt::ShiftModifier);                   // cuts it
    EXPECT_EQ(field->text(), "2");
    EXPECT_EQ(QApplication::clipboard()->text(), "45");
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);  // pastes it
    EXPECT_EQ(field->text(), "452");
    QTest::keyClick(field, Qt::Key_Backspace);  // the cursor stands after the paste
    EXPECT_EQ(field->text(), "42");
    QTest::keyClick(field, Qt::Key_End);
    PressDelete(field);  // nothing after the cursor
    EXPECT_EQ(field->text(), "42");
    QTest::keyClicks(field, "x1");  // characters are still filtered
    EXPECT_EQ(field->text(), "421");
    EXPECT_EQ(model.OnOk(), 0x421u);
}

class MaxCountWindowTest : public DialogWindowTest {
protected:
    MaxCountDialogWindow& Dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<MaxCountDialogWindow>(
                model_, [this](const workbench::Message& m) { messages_.push_back(m); });
            dialog_->SetErrorBeep([this] { ++beeps_; });
        }
        return *dialog_;
    }
    template <typename W>
    W* Find(int id) {
        return FindControl<W>(Dialog(), id);
    }
    bool PressOk() {
        Find<QPushButton>(1)->click();
        return Dialog().result() == QDialog::Accepted;
    }

    JobRecord job_{};
    uint16_t shared_ = 7;
    workbench::MaxCountDialog model_{job_, 0xF800, shared_, Language::Chinese, "caption"};
    std::vector<workbench::Message> messages_;
    int beeps_ = 0;
    std::unique_ptr<MaxCountDialogWindow> dialog_;
};

TEST_F(MaxCountWindowTest, ShowsTheChineseTextsAndNamesEveryControl) {
    EXPECT_EQ(Dialog().windowTitle(), QString::fromUtf8("设置最大计数值和滚动码"));
    const struct {
        int id;
        const char* shown;
        const char* english;
    } texts[] = {
        {1052, "最大计数值 : ", "Max Count : "}, {1056, "字符", "String"},
        {1067, "启始码", "Number"},             {1059, "启始位置", "Start Addressr"},
        {1060, "结束位置", "End Address"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(Find<QLabel>(t.id)->text(), QString::fromUtf8(t.shown));
        EXPECT_EQ(Find<QLabel>(t.id)->accessibleName(), t.english);
    }
    EXPECT_EQ(Find<QCheckBox>(1055)->text(), QString::fromUtf8("支持滚动码"));
    EXPECT_EQ(Find<QCheckBox>(1058)->accessibleName(), "Auto Increment Numbe");
    EXPECT_EQ(Find<QPushButton>(1)->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(Find<QPushButton>(2)->text(), QString::fromUtf8("取消"));
    for (int id : {1051, 1057, 1064, 1065, 1061}) {
        EXPECT_FALSE(Find<QLineEdit>(id)->accessibleName().isEmpty()) << id;
    }
    EXPECT_EQ(Find<QLineEdit>(1051)->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(1064)->text(), "00000000");
    EXPECT_TRUE(Find<QLineEdit>(1061)->isReadOnly());
    for (int id : {1057, 1064, 1065}) {
        EXPECT_FALSE(Find<QLineEdit>(id)->isEnabled()) << id;
    }
    Find<QCheckBox>(1055)->click();
    EXPECT_TRUE(Find<QLineEdit>(1065)->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(1058)->isEnabled());
}

TEST_F(MaxCountWindowTest, TypedFieldsFollowTheRules) {
    Find<QCheckBox>(1055)->click();
    Retype(Find<QLineEdit>(1065), "F800");
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "0000F7F0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x0000F7FF");
    EXPECT_EQ(beeps_, 1);
    Retype(Find<QLineEdit>(1065), "1a0g");  // g is no hex digit
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "1a0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x000001AF");
    Retype(Find<QLineEdit>(1051), "65531");
    EXPECT_EQ(Find<QLineEdit>(1051)->text(), "65530");
    Retype(Find<QLineEdit>(1057), "ABCDEFGHIJKLM");  // 12 characters at most
    EXPECT_EQ(Find<QLineEdit>(1057)->text(), "ABCDEFGHIJKL");
    Retype(Find<QLineEdit>(1057), QString::fromUtf8("编号一二三四五"));  // two bytes each
    EXPECT_EQ(Find<QLineEdit>(1057)->text(), QString::fromUtf8("编号一二三四"));
    QLineEdit* number = Find<QLineEdit>(1064);
    Retype(number, "12345678");
    QTest::keyClick(number, Qt::Key_Home);
    PressDelete(number);
    PressDelete(number);
    EXPECT_EQ(number->text(), "345678");
    EXPECT_EQ(beeps_, 1);
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(shared_, 65530);
    EXPECT_EQ(job_.serialNumber, 0x345678u);
    EXPECT_EQ(job_.serialAddress, 0x1A0u);
    EXPECT_EQ(std::string(job_.serialText, 12),
              "\xB1\xE0\xBA\xC5\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4");
}

TEST_F(MaxCountWindowTest, RefusedOkShowsItsMessageAndStaysOpen) {
    Dialog().show();
    Retype(Find<QLineEdit>(1051), "-3");
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "\"最大计数值\" 最大值为 65530 !");
    EXPECT_EQ(messages_[0].caption, "caption");
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(shared_, 7);
    Find<QPushButton>(2)->click();
    EXPECT_EQ(Dialog().result(), QDialog::Rejected);
}

class ProgressWindowTest : public DialogWindowTest {};

TEST_F(ProgressWindowTest, EndsAtItsFirstTickWhenTheWorkerIsAlreadyDone) {
    workbench::FirmwareUpdateState state;
    workbench::ReflashProgress model(state, Language::Chinese);
    ProgressDialogWindow dialog(model);
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(dialog.findChildren<QPushButton*>().isEmpty());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_GE(clock.elapsed(), 100);
}

TEST_F(ProgressWindowTest, BlinksRefusesToCloseAndFollowsTheWorker) {
    workbench::FirmwareUpdateState state;
    state.busy = 1;
    workbench::ReflashProgress model(state, Language::Chinese);
    ProgressDialogWindow dialog(model);
    auto* notice = dialog.findChild<QLabel*>("id1066");
    auto* bar = dialog.findChild<QProgressBar*>("reflashProgress");
    ASSERT_TRUE(notice != nullptr && bar != nullptr);
    EXPECT_EQ(bar->accessibleName(), "Re-flash progress");
    QStringList seen;
    bool visibleAfterClose = false;
    int barValue = -1;
    QTimer::singleShot(20, &dialog, [&] {
        dialog.close();
        dialog.reject();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        visibleAfterClose = dialog.isVisible();
        // Reported from another thread, as the re-flash worker does.
        std::thread([&model] {
            model.Report({KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1000, 3000});
        }).join();
    });
    // First tick at 100 ms shows a blank, the next at 600 ms the notice.
    QTimer::singleShot(350, &dialog, [&] {
        seen << notice->text();
        barValue = bar->value();
    });
    QTimer::singleShot(850, &dialog, [&] { seen << notice->text(); });
    QTimer::singleShot(900, &dialog, [&] { state.busy.store(0, std::memory_order_release); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(visibleAfterClose);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], " ");
    EXPECT_EQ(seen[1], QString::fromUtf8("更新硬件程序中...\n\n请勿拔出编程器."));
    EXPECT_EQ(barValue, 1000);
    EXPECT_EQ(bar->maximum(), 3000);
}

// The English notice is longer: all of it fits its field, the last line too.
TEST_F(ProgressWindowTest, EnglishNoticeFitsItsField) {
    workbench::FirmwareUpdateState state;
    state.busy = 1;
    workbench::ReflashProgress model(state, Language::English);
    model.OnTick();
    model.OnTick();
    ProgressDialogWindow dialog(model);
    auto* notice = dialog.findChild<QLabel*>("id1066");
    ASSERT_NE(notice, nullptr);
    ASSERT_EQ(notice->text(), "Unmatched firmware version, Update in processing ...\n\nDo not plug "
                              "out the programmer.");
    const QRect needed = notice->fontMetrics().boundingRect(
        notice->contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, notice->text());
    EXPECT_LE(needed.height(), notice->contentsRect().height());
}

TEST_F(ProgressWindowTest, TotalsBeyondTheBarsRangeShowTheirShare) {
    workbench::FirmwareUpdateState state;
    state.busy = 1;
    workbench::ReflashProgress model(state, Language::Chinese);
    model.Report({KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0x80000000u, 0xFFFFFFFFu});
    ProgressDialogWindow dialog(model);
    auto* bar = dialog.findChild<QProgressBar*>("reflashProgress");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->text(), "50%");
}

}  // namespace
}  // namespace korvid::qt
