// "Select AP/IAP area": where the next HEX or binary image goes, the code area at
// address 0 or the data area at a typed hexadecimal address.
#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QRadioButton;

namespace korvid::workbench {

class AreaDialog : public QDialog {
    Q_OBJECT

public:
    // insertAddress holds the default data address on entry; OK stores the choice
    // in it, Cancel leaves it as it was.
    AreaDialog(uint32_t& insertAddress, QWidget* parent = nullptr);

    void accept() override;

private:
    uint32_t& insertAddress_;
    QRadioButton* codeArea_;
    QRadioButton* dataArea_;
    QLineEdit* address_;
};

}  // namespace korvid::workbench
