// The Qt view of the Max Count and serial number dialog (template 130): shows the
// model's state and forwards edits, clicks and OK to it.
#pragma once

#include "MainDialogView.h"
#include "MaxCountDialog.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvid::qt {

class MaxCountDialogWindow : public QDialog {
    Q_OBJECT

public:
    // Messages of OK go to showMessage.
    MaxCountDialogWindow(workbench::MaxCountDialog& model,
                         std::function<void(const workbench::Message&)> showMessage,
                         QWidget* parent = nullptr);

    // What sounds when a start address is set back (QApplication::beep by default).
    void SetErrorBeep(std::function<void()> beep) { errorBeep_ = std::move(beep); }

    void accept() override;

private:
    void Render();

    workbench::MaxCountDialog& model_;
    std::function<void(const workbench::Message&)> showMessage_;
    std::function<void()> errorBeep_;

    QLineEdit* maxCount_;       // 1051
    QCheckBox* enableSerial_;   // 1055
    QLineEdit* serialText_;     // 1057
    QLineEdit* serialNumber_;   // 1064
    QCheckBox* autoIncrement_;  // 1058
    QLineEdit* startAddress_;   // 1065
    QLineEdit* endAddress_;     // 1061
};

}  // namespace korvid::qt
