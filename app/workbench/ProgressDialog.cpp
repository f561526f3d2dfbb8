#include "ProgressDialog.h"

#include "DisplayText.h"
#include "FirmwareUpdate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>

#include <cstdint>

namespace korvid::workbench {
namespace {

// Template 132 is 250 x 150 dialog units with the notice 208 x 30 at (21, 79);
// bitmap 134 is drawn at that size.
constexpr int kWidth = 375;
constexpr int kHeight = 244;
constexpr QRect kNoticeRect(32, 128, 312, 49);
// The bar lies under the notice, inside the picture's frame.
constexpr QRect kBarRect(32, 190, 312, 18);

}  // namespace

ProgressDialog::ProgressDialog(const FirmwareUpdateState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), state_(state) {
    setObjectName("id132");
    setAccessibleName(TextTable::firmwareUpdating.english);
    setModal(true);
    setFixedSize(kWidth, kHeight);

    auto* picture = new QLabel(this);
    picture->setObjectName("id134");
    picture->setAccessibleName("Programmer update picture");
    const QPixmap bitmap =
        QPixmap(":/korvid/progress134.png")
            .scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture->setPixmap(bitmap);
    picture->setGeometry(0, 0, kWidth, kHeight);
    // The artwork has rounded corners: the window takes its shape.
    setMask(bitmap.mask());

    notice_ = new QLabel(this);
    notice_->setObjectName("id1066");
    notice_->setAccessibleName("Update notice");
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->setAttribute(Qt::WA_TranslucentBackground);
    notice_->setStyleSheet("QLabel { color: black; background: transparent; }");
    notice_->setGeometry(kNoticeRect);

    bar_ = new QProgressBar(this);
    bar_->setObjectName("reflashProgress");
    bar_->setAccessibleName("Re-flash progress");
    bar_->setGeometry(kBarRect);
    // Busy until the first firmware data is counted.
    bar_->setRange(0, 0);

    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ProgressDialog::OnTick);
}

void ProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (round_ == 0 && !timer_.isActive()) {
        shown_.start();
        timer_.start(kFirstTickMs);
    }
}

void ProgressDialog::OnTick() {
    // A timer may fire a little early: the dialog stays its full first period.
    if (round_ == 0 && shown_.elapsed() < kFirstTickMs) {
        timer_.start(static_cast<int>(kFirstTickMs - shown_.elapsed()));
        return;
    }
    if (!state_.Busy()) {
        // The worker reported its last events before it cleared busy: show them.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        finished_ = true;
        accept();
        return;
    }
    // The notice blinks: a blank in odd rounds, the text in even ones.
    ++round_;
    notice_->setText(round_ % 2 == 1 ? QStringLiteral(" ") : Shown(TextTable::firmwareUpdating));
    notice_->repaint();
    timer_.start(kBlinkMs);
}

void ProgressDialog::ReportProgress(const KorvidProgress& progress) {
    QMetaObject::invokeMethod(
        this, [this, progress] { ShowProgress(progress); }, Qt::QueuedConnection);
}

void ProgressDialog::ShowProgress(const KorvidProgress& progress) {
    switch (progress.phase) {
        case KORVID_PHASE_REFLASH_DATA: {
            // The bar counts in int: a total beyond INT32_MAX is shown in half steps.
            const int shift = progress.total > INT32_MAX ? 1 : 0;
            bar_->setRange(0, static_cast<int>(progress.total >> shift));
            bar_->setValue(static_cast<int>(progress.done >> shift));
            bar_->resetFormat();
            break;
        }
        case KORVID_PHASE_RESTART_WAIT:
            // Before the data the programmer restarts into its update mode (the bar
            // stays busy); after it, with the new firmware.
            if (bar_->maximum() > 0) {
                bar_->setValue(bar_->maximum());
                bar_->setFormat(Shown(TextTable::programmerRestarting));
            }
            break;
        default:
            break;
    }
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        event->ignore();
    }
}

void ProgressDialog::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

}  // namespace korvid::workbench
