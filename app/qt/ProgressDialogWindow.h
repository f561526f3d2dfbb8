// The Qt view of the re-flash progress (template 132): bitmap 134 with the
// blinking notice and under it the bar, no caption and no buttons. It ticks the
// model on its timer (first after 100 ms, then every 500 ms), takes no input and
// ends by itself once a tick finds the worker finished. The event loop keeps
// running meanwhile, so the windows repaint and the bar follows the events.
#pragma once

#include "ReflashProgress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;

namespace korvid::qt {

class ProgressDialogWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProgressDialogWindow(workbench::ReflashProgress& model, QWidget* parent = nullptr);

    // Neither Escape nor the close box ends it.
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnTick();
    void Render();

    workbench::ReflashProgress& model_;
    QLabel* notice_;
    QProgressBar* bar_;
    QTimer tick_;
    QTimer barRefresh_;
    QElapsedTimer shown_;
    bool started_ = false;
};

}  // namespace korvid::qt
