// The Max Count and serial number dialog, and the progress dialog of the re-flash.
#include "FirmwareUpdate.h"
#include "MaxCountDialog.h"
#include "ProgressDialog.h"
#include "fake_prompts.h"
#include "key_presses.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>

namespace korvid::workbench {
namespace {

using testing::FakePrompts;
using testing::PressDelete;

class MaxCountDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }

    MaxCountDialog& Dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<MaxCountDialog>(job_, 0xF800, shared_, prompts_, "caption");
            dialog_->SetErrorBeep([this] { ++beeps_; });
        }
        return *dialog_;
    }
    template <typename W>
    W* Find(int id) {
        return testing::FindControl<W>(Dialog(), id);
    }
    // Replaces the field's text by typing text, one key per character.
    static void Retype(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // "Ok"; true when the dialog ended with OK.
    bool PressOk() {
        Find<QPushButton>(1)->click();
        return Dialog().result() == QDialog::Accepted;
    }

    JobRecord job_{};
    uint16_t shared_ = 7;
    FakePrompts prompts_;
    int beeps_ = 0;
    std::unique_ptr<MaxCountDialog> dialog_;
};

TEST_F(MaxCountDialogTest, ShowsTheChineseTextsAndNamesEveryControl) {
    EXPECT_EQ(Dialog().windowTitle(), QString::fromUtf8("设置最大计数值和滚动码"));
    const struct {
        int id;
        const char* shown;
        const char* english;
    } texts[] = {
        {1052, "最大计数值 : ", "Max Count : "},
        {1056, "字符", "String"},
        {1067, "启始码", "Number"},
        {1059, "启始位置", "Start Addressr"},
        {1060, "结束位置", "End Address"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(Find<QLabel>(t.id)->text(), QString::fromUtf8(t.shown));
        EXPECT_EQ(Find<QLabel>(t.id)->accessibleName(), t.english);
    }
    EXPECT_EQ(Find<QCheckBox>(1055)->text(), QString::fromUtf8("支持滚动码"));
    EXPECT_EQ(Find<QCheckBox>(1058)->text(), QString::fromUtf8("自动上数"));
    EXPECT_EQ(Find<QCheckBox>(1058)->accessibleName(), "Auto Increment Numbe");
    EXPECT_EQ(Find<QPushButton>(1)->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(Find<QPushButton>(2)->text(), QString::fromUtf8("取消"));
    for (int id : {1051, 1057, 1064, 1065, 1061}) {
        EXPECT_FALSE(Find<QLineEdit>(id)->accessibleName().isEmpty()) << id;
    }
    EXPECT_EQ(Find<QLineEdit>(1051)->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(1064)->text(), "00000000");
    EXPECT_TRUE(Find<QLineEdit>(1061)->isReadOnly());
    // Serial controls follow the box, which starts unchecked.
    for (int id : {1057, 1064, 1065}) {
        EXPECT_FALSE(Find<QLineEdit>(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(Find<QCheckBox>(1058)->isEnabled());
    Find<QCheckBox>(1055)->click();
    EXPECT_TRUE(Find<QLineEdit>(1065)->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(1058)->isEnabled());
}

TEST_F(MaxCountDialogTest, StartAddressStaysInTheLastSixteenBytesOfFlash) {
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "0000F7F0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x0000F7FF");
    Find<QCheckBox>(1055)->click();
    Retype(Find<QLineEdit>(1065), "F800");
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "0000F7F0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x0000F7FF");
    EXPECT_EQ(beeps_, 1);
    Retype(Find<QLineEdit>(1065), "1a0g");  // g is no hex digit
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "1a0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x000001AF");
    EXPECT_EQ(beeps_, 1);
    Retype(Find<QLineEdit>(1065), "123456789");  // 8 digits at most
    EXPECT_EQ(Find<QLineEdit>(1065)->text(), "0000F7F0");
    EXPECT_EQ(beeps_, 2);
}

TEST_F(MaxCountDialogTest, DeleteEditsTheSerialNumberAndTheStartAddress) {
    Find<QCheckBox>(1055)->click();
    QLineEdit* number = Find<QLineEdit>(1064);
    number->setText("12345678");
    QTest::keyClick(number, Qt::Key_Home);
    PressDelete(number);
    PressDelete(number);
    EXPECT_EQ(number->text(), "345678");
    QTest::keyClick(number, Qt::Key_End);
    QTest::keyClick(number, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(number, Qt::Key_Left, Qt::ShiftModifier);
    PressDelete(number, Qt::ShiftModifier);
    EXPECT_EQ(number->text(), "3456");

    QLineEdit* start = Find<QLineEdit>(1065);  // "0000F7F0"
    QTest::keyClick(start, Qt::Key_Home);
    for (int i = 0; i < 5; ++i) {
        PressDelete(start);
    }
    EXPECT_EQ(start->text(), "7F0");
    EXPECT_EQ(Find<QLineEdit>(1061)->text(), "0x000007FF");
    QTest::keyClick(start, Qt::Key_End);
    QTest::keyClick(start, Qt::Key_Backspace);
    EXPECT_EQ(start->text(), "7F");
    EXPECT_EQ(beeps_, 0);
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(job_.serialNumber, 0x3456u);
    EXPECT_EQ(job_.serialAddress, 0x7Fu);
}

TEST_F(MaxCountDialogTest, MaxCountIsCutToTheLimitWhileTypingAndCheckedOnOk) {
    Retype(Find<QLineEdit>(1051), "65531");
    EXPECT_EQ(Find<QLineEdit>(1051)->text(), "65530");
    Retype(Find<QLineEdit>(1051), "-3");
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, QString::fromUtf8("\"最大计数值\" 最大值为 65530 !"));
    EXPECT_EQ(prompts_.messages[0].caption, "caption");
    Find<QLineEdit>(1051)->setText("99999");  // set without typing: Ok still refuses
    EXPECT_FALSE(PressOk());
    Find<QLineEdit>(1051)->setText("12x");
    EXPECT_FALSE(PressOk());
    EXPECT_EQ(prompts_.messages.back().text, QString::fromUtf8("请输入一个整数。"));
    EXPECT_EQ(shared_, 7);
    Retype(Find<QLineEdit>(1051), "65530");
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(shared_, 65530);
}

TEST_F(MaxCountDialogTest, OkStoresTheSerialSettingsEvenWithSerialNumbersOff) {
    Find<QCheckBox>(1055)->click();
    Retype(Find<QLineEdit>(1057), "ABCDEFGHIJKLM");  // 12 characters at most
    EXPECT_EQ(Find<QLineEdit>(1057)->text(), "ABCDEFGHIJKL");
    Retype(Find<QLineEdit>(1057), "ABCDE");
    Find<QCheckBox>(1058)->click();
    Retype(Find<QLineEdit>(1064), "DEADBEEF");
    Retype(Find<QLineEdit>(1065), "1230");
    EXPECT_EQ(job_.serialFlags, 1u);
    Find<QCheckBox>(1055)->click();  // off again: bit 0 follows at once
    EXPECT_EQ(job_.serialFlags, 0u);
    Find<QLineEdit>(1051)->setText("10");
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(shared_, 10);
    EXPECT_EQ(job_.serialFlags, 2u);
    EXPECT_EQ(std::string(job_.serialText, 12), "ABCDE       ");
    EXPECT_EQ(job_.serialNumber, 0xDEADBEEFu);
    EXPECT_EQ(job_.serialAddress, 0x1230u);
}

TEST_F(MaxCountDialogTest, SerialTextCountsCodePageBytes) {
    Find<QCheckBox>(1055)->click();
    Retype(Find<QLineEdit>(1057), QString::fromUtf8("编号一二三四五"));  // two bytes each
    EXPECT_EQ(Find<QLineEdit>(1057)->text(), QString::fromUtf8("编号一二三四"));
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(QByteArray(job_.serialText, 12), QByteArray::fromHex("b1e0bac5d2bbb6fec8fdcbc4"));
}

TEST_F(MaxCountDialogTest, ExitStoresNothingButTheBoxesBit) {
    job_.serialFlags = 3;  // as a previous download left it
    Dialog();
    EXPECT_EQ(job_.serialFlags, 2u);  // the box starts unchecked
    Find<QCheckBox>(1055)->click();
    Retype(Find<QLineEdit>(1057), "XYZ");
    Find<QLineEdit>(1051)->setText("5");
    Find<QPushButton>(2)->click();
    EXPECT_EQ(Dialog().result(), QDialog::Rejected);
    EXPECT_EQ(shared_, 7);
    EXPECT_EQ(job_.serialFlags, 3u);
    EXPECT_EQ(job_.serialText[0], '\0');
}

class ProgressDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }

    // Reports the event from another thread, as the re-flash worker does.
    static void ReportFromWorker(ProgressDialog& dialog, const KorvidProgress& event) {
        std::thread([&dialog, event] { dialog.ReportProgress(event); }).join();
    }
};

TEST_F(ProgressDialogTest, EndsAtItsFirstTickWhenTheWorkerIsAlreadyDone) {
    FirmwareUpdateState state;
    ProgressDialog dialog(state);
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(dialog.findChildren<QPushButton*>().isEmpty());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_GE(clock.elapsed(), 100);
}

TEST_F(ProgressDialogTest, NoticeBlinksWhileBusyAndTheLoopKeepsRunning) {
    FirmwareUpdateState state;
    state.busy = 1;
    ProgressDialog dialog(state);
    auto* notice = dialog.findChild<QLabel*>("id1066");
    ASSERT_NE(notice, nullptr);
    QStringList seen;
    // First tick at 100 ms shows a blank, the next at 600 ms the notice.
    QTimer::singleShot(350, &dialog, [&] { seen << notice->text(); });
    QTimer::singleShot(850, &dialog, [&] { seen << notice->text(); });
    QTimer::singleShot(900, &dialog, [&] { state.busy.store(0, std::memory_order_release); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], " ");
    EXPECT_EQ(seen[1], QString::fromUtf8("更新硬件程序中...\n\n请勿拔出编程器."));
}

// Each event reaches the bar only through the dialog's own event loop, never on
// the reporting thread.
TEST_F(ProgressDialogTest, BarFollowsTheReflashReportedFromTheWorker) {
    FirmwareUpdateState state;
    ProgressDialog dialog(state);
    auto* bar = dialog.findChild<QProgressBar*>("reflashProgress");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->accessibleName(), "Re-flash progress");
    EXPECT_EQ(bar->maximum(), 0);  // busy at first

    struct Step {
        KorvidProgress event;
        int maximum;
        int value;
        QString text;
    };
    const QString restarting = QString::fromUtf8("编程器重启中...");
    const Step steps[] = {
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_SENDING_COMMAND, 0, 0}, 0, -1, {}},
        // The restart into the update mode comes before any count: still busy.
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 200, 0}, 0, -1, {}},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0, 3000}, 3000, 0, "0%"},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1000, 3000}, 3000, 1000, "33%"},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 3000, 3000}, 3000, 3000, "100%"},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 0, 0}, 3000, 3000, restarting},
        {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_RESTART_WAIT, 900, 0}, 3000, 3000, restarting},
    };
    for (const Step& step : steps) {
        const std::pair before{bar->maximum(), bar->value()};
        ReportFromWorker(dialog, step.event);
        EXPECT_EQ(std::pair(bar->maximum(), bar->value()), before);  // not yet: queued
        QCoreApplication::sendPostedEvents(&dialog);
        EXPECT_EQ(bar->maximum(), step.maximum) << step.event.phase << " " << step.event.done;
        if (step.maximum > 0) {
            EXPECT_EQ(bar->value(), step.value) << step.event.done;
            EXPECT_EQ(bar->text(), step.text) << step.event.done;
        }
    }

    // A second re-flash counts afresh, without the restart text.
    ReportFromWorker(dialog, {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 512, 1024});
    QCoreApplication::sendPostedEvents(&dialog);
    EXPECT_EQ(bar->text(), "50%");
}

TEST_F(ProgressDialogTest, TotalsBeyondTheBarsRangeAreHalved) {
    FirmwareUpdateState state;
    ProgressDialog dialog(state);
    auto* bar = dialog.findChild<QProgressBar*>("reflashProgress");
    ASSERT_NE(bar, nullptr);
    dialog.ReportProgress(
        {KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 0x80000000u, 0xFFFFFFFFu});
    QCoreApplication::sendPostedEvents(&dialog);
    EXPECT_EQ(bar->maximum(), 0x7FFFFFFF);
    EXPECT_EQ(bar->value(), 0x40000000);
    EXPECT_EQ(bar->text(), "50%");
}

}  // namespace
}  // namespace korvid::workbench
