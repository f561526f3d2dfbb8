#include "ProgressDialog.h"

#include "DisplayText.h"
#include "FirmwareUpdate.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

namespace korvid::workbench {
namespace {

// Template 132 is 250 x 150 dialog units with the notice 208 x 30 at (21, 79);
// bitmap 134 is drawn at that size.
constexpr int kWidth = 375;
constexpr int kHeight = 244;
constexpr QRect kNoticeRect(32, 128, 312, 49);

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

void ProgressDialog::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        event->ignore();
    }
}

void ProgressDialog::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

}  // namespace korvid::workbench
