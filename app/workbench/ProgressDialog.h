// The picture shown while the programmer is re-flashed: bitmap 134 with a blinking
// notice and under it a bar of the firmware bytes sent, no caption and no buttons.
// It takes no input and ends by itself once the worker has cleared busy, at the
// earliest at its first tick (100 ms). The event loop keeps running meanwhile, so
// the windows repaint.
#pragma once

#include "korvid_ext.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <cstdint>

class QLabel;
class QProgressBar;

namespace korvid::workbench {

struct FirmwareUpdateState;

class ProgressDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFirstTickMs = 100;
    static constexpr int kBlinkMs = 500;

    explicit ProgressDialog(const FirmwareUpdateState& state, QWidget* parent = nullptr);

    // Shows a progress event of the re-flash on the bar. Callable from any thread:
    // the bar is updated on the dialog's own thread.
    void ReportProgress(const KorvidProgress& progress);

    // Neither Escape nor the close box ends it.
    void reject() override {}

protected:
    // The first tick is 100 ms after the dialog appears.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnTick();
    void ShowProgress(const KorvidProgress& progress);

    const FirmwareUpdateState& state_;
    QLabel* notice_;
    QProgressBar* bar_;
    QTimer timer_;
    QElapsedTimer shown_;
    int round_ = 0;
    bool finished_ = false;  // set when busy was seen clear; only then may it close
};

}  // namespace korvid::workbench
