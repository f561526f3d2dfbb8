// "Set Max Count & Serial Number": before a job is downloaded into the programmer,
// the number of targets it may program (at most 65530) and the optional serial
// number block written into each target's image.
#pragma once

#include "korvid.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace korvid::workbench {

class UserPrompts;

class MaxCountDialog : public QDialog {
    Q_OBJECT

public:
    // flashSize is the selected part's; "Ok" stores the count in sharedMaxCount and
    // the serial settings in job. "Enable Serial Number" sets bit 0 of
    // job.serialFlags as soon as it is clicked, also when the dialog is left with
    // "Exit". Messages go through prompts, captioned caption.
    MaxCountDialog(JobRecord& job, uint32_t flashSize, uint16_t& sharedMaxCount,
                   UserPrompts& prompts, const QString& caption, QWidget* parent = nullptr);

    // What sounds when a start address is set back (QApplication::beep by default).
    void SetErrorBeep(std::function<void()> beep) { errorBeep_ = std::move(beep); }

    void accept() override;

private:
    void OnEnableSerialClicked();
    void OnStartAddressChanged();
    void OnMaxCountEdited();
    // The max count field as a decimal integer; nullopt when it holds none.
    std::optional<int64_t> ReadMaxCount() const;
    void ShowMessage(const QString& text);

    JobRecord& job_;
    uint16_t& sharedMaxCount_;
    UserPrompts& prompts_;
    QString caption_;
    uint32_t flashSize_;
    uint32_t highestStartAddress_;
    std::function<void()> errorBeep_;

    QLineEdit* maxCount_;       // 1051
    QCheckBox* enableSerial_;   // 1055
    QLineEdit* serialText_;     // 1057
    QLineEdit* serialNumber_;   // 1064
    QCheckBox* autoIncrement_;  // 1058
    QLineEdit* startAddress_;   // 1065
    QLineEdit* endAddress_;     // 1061
};

}  // namespace korvid::workbench
