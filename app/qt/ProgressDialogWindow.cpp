#include "ProgressDialogWindow.h"

#include "TextTable.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>

#include <cstdint>

namespace korvid::qt {
namespace {

using workbench::ReflashProgress;

// Template 132 is 250 x 150 dialog units; bitmap 134 is drawn at that size. The
// notice stands in the picture's light field, above the bar; it has room for the
// longer English notice on three lines and the line between.
constexpr int kWidth = 375;
constexpr int kHeight = 244;
constexpr QRect kNoticeRect(32, 104, 312, 82);
constexpr QRect kBarRect(32, 190, 312, 18);
constexpr int kBarRefreshMs = 100;

}  // namespace

ProgressDialogWindow::ProgressDialogWindow(ReflashProgress& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), model_(model) {
    setObjectName("id132");
    setAccessibleName(workbench::TextTable::firmwareUpdating.english);
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

    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &ProgressDialogWindow::OnTick);
    barRefresh_.setInterval(kBarRefreshMs);
    connect(&barRefresh_, &QTimer::timeout, this, &ProgressDialogWindow::Render);
    Render();
}

void ProgressDialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        shown_.start();
        tick_.start(ReflashProgress::kFirstTickMs);
        barRefresh_.start();
    }
}

void ProgressDialogWindow::OnTick() {
    // A timer may fire a little early: the dialog stays its full first period.
    if (!model_.Finished() && shown_.elapsed() < ReflashProgress::kFirstTickMs) {
        tick_.start(static_cast<int>(ReflashProgress::kFirstTickMs - shown_.elapsed()));
        return;
    }
    const bool busy = model_.OnTick();
    Render();
    if (!busy) {
        accept();
        return;
    }
    notice_->repaint();
    tick_.start(ReflashProgress::kBlinkMs);
}

void ProgressDialogWindow::Render() {
    const ReflashProgress::State s = model_.Present();
    notice_->setText(QString::fromStdString(s.notice));
    bar_->setRange(0, static_cast<int>(s.barMaximum));
    bar_->setValue(static_cast<int>(s.barValue));
    if (s.barText.empty()) {
        bar_->resetFormat();
    } else {
        bar_->setFormat(QString::fromStdString(s.barText));
    }
}

void ProgressDialogWindow::closeEvent(QCloseEvent* event) {
    if (!model_.Finished()) {
        event->ignore();
    }
}

void ProgressDialogWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

}  // namespace korvid::qt
