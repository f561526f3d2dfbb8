#include "AreaDialog.h"

#include "DisplayText.h"
#include "HexDigitFilter.h"
#include "hex_text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

namespace korvid::workbench {
namespace {

constexpr int kMaxAddressChars = 255;

// The address field converts what is typed to upper case.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace

AreaDialog::AreaDialog(uint32_t& insertAddress, QWidget* parent)
    : QDialog(parent), insertAddress_(insertAddress) {
    setObjectName("id129");
    setWindowTitle(Shown(TextTable::selectArea));
    setAccessibleName(TextTable::selectArea.english);

    codeArea_ = new QRadioButton(Shown(TextTable::apCode), this);
    codeArea_->setObjectName("id1042");
    codeArea_->setAccessibleName(TextTable::apCode.english);
    dataArea_ = new QRadioButton(Shown(TextTable::iapData), this);
    dataArea_->setObjectName("id1043");
    dataArea_->setAccessibleName(TextTable::iapData.english);
    auto* addressLabel = new QLabel(Shown(TextTable::addressPrefix), this);
    addressLabel->setObjectName("id1045");
    addressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addressLabel->setAccessibleName(TextTable::addressPrefix.english);
    address_ = new QLineEdit(this);
    address_->setObjectName("id1044");
    address_->setAccessibleName("Address");
    address_->setValidator(new UpperCaseValidator(address_));
    address_->installEventFilter(new HexDigitFilter(address_));
    addressLabel->setBuddy(address_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText("OK");
    ok->setObjectName("id1");
    ok->setAccessibleName("OK");
    ok->setDefault(true);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setText("Cancel");
    cancel->setObjectName("id2");
    cancel->setAccessibleName("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &AreaDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AreaDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(codeArea_, 0, 0, 1, 2);
    layout->addWidget(dataArea_, 1, 0, 1, 2);
    layout->addWidget(addressLabel, 2, 0);
    layout->addWidget(address_, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);

    WriteHexField(*address_, insertAddress_, 0);
    codeArea_->setChecked(true);
    address_->setEnabled(false);
    connect(codeArea_, &QRadioButton::clicked, this, [this] { address_->setEnabled(false); });
    connect(dataArea_, &QRadioButton::clicked, this, [this] { address_->setEnabled(true); });
}

void AreaDialog::accept() {
    if (codeArea_->isChecked()) {
        insertAddress_ = 0;
    } else {
        const std::string text = address_->text().left(kMaxAddressChars).toStdString();
        insertAddress_ = ScanHex(text).value_or(insertAddress_);
    }
    QDialog::accept();
}

}  // namespace korvid::workbench
