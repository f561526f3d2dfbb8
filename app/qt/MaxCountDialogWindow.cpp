#include "MaxCountDialogWindow.h"

#include "HexDigitFilter.h"
#include "TextTable.h"
#include "control_names.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace korvid::qt {
namespace {

namespace TextTable = workbench::TextTable;
using workbench::MaxCountDialog;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The serial text takes at most 12 bytes in code page 936.
class SerialTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return MaxCountDialog::SerialTextFits(input.toStdString()) ? Acceptable : Invalid;
    }
};

QLabel* Label(QWidget* parent, int id, const workbench::TextPair& text) {
    return Named(new QLabel(parent), id, text.english);
}

// Shows text unless the field shows it already, so that typing keeps its cursor.
void Show(QLineEdit& field, const std::string& text) {
    if (field.text() != Text(text)) {
        field.setText(Text(text));
    }
}

}  // namespace

MaxCountDialogWindow::MaxCountDialogWindow(
    workbench::MaxCountDialog& model, std::function<void(const workbench::Message&)> showMessage,
    QWidget* parent)
    : QDialog(parent),
      model_(model),
      showMessage_(std::move(showMessage)),
      errorBeep_(&QApplication::beep) {
    const MaxCountDialog::Texts& t = model_.Present().texts;
    setObjectName("id130");
    setWindowTitle(Text(t.title));
    setAccessibleName(TextTable::setMaxCountTitle.english);

    QLabel* maxCountLabel = Label(this, 1052, TextTable::maxCountLabel);
    maxCount_ = Named(new QLineEdit(this), 1051, "Max Count");
    enableSerial_ = Named(new QCheckBox(this), 1055, TextTable::enableSerialNumber.english);
    QLabel* serialTextLabel = Label(this, 1056, TextTable::serialString);
    serialText_ = Named(new QLineEdit(this), 1057, TextTable::serialString.english);
    serialText_->setMaxLength(KORVID_SERIAL_TEXT_SIZE);
    serialText_->setValidator(new SerialTextValidator(serialText_));
    QLabel* numberLabel = Label(this, 1067, TextTable::serialNumberLabel);
    serialNumber_ = Named(new HexDigitEdit(this), 1064, TextTable::serialNumberLabel.english);
    serialNumber_->setMaxLength(MaxCountDialog::kHexDigits);
    autoIncrement_ =
        Named(new QCheckBox(this), 1058, TextTable::autoIncrementNumber.english);
    QLabel* startLabel = Label(this, 1059, TextTable::startAddress);
    startAddress_ = Named(new HexDigitEdit(this), 1065, TextTable::startAddress.english);
    startAddress_->setMaxLength(MaxCountDialog::kHexDigits);
    QLabel* endLabel = Label(this, 1060, TextTable::endAddress);
    endAddress_ = Named(new QLineEdit(this), 1061, TextTable::endAddress.english);
    endAddress_->setReadOnly(true);
    maxCountLabel->setBuddy(maxCount_);
    serialTextLabel->setBuddy(serialText_);
    numberLabel->setBuddy(serialNumber_);
    startLabel->setBuddy(startAddress_);
    endLabel->setBuddy(endAddress_);
    maxCountLabel->setText(Text(t.maxCountLabel));
    enableSerial_->setText(Text(t.enableSerial));
    serialTextLabel->setText(Text(t.serialTextLabel));
    numberLabel->setText(Text(t.numberLabel));
    autoIncrement_->setText(Text(t.autoIncrement));
    startLabel->setText(Text(t.startLabel));
    endLabel->setText(Text(t.endLabel));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = Named(buttons->button(QDialogButtonBox::Ok), 1, TextTable::ok.english);
    ok->setText(Text(t.ok));
    ok->setDefault(true);
    QPushButton* exit =
        Named(buttons->button(QDialogButtonBox::Cancel), 2, TextTable::maxCountExit.english);
    exit->setText(Text(t.exit));
    connect(buttons, &QDialogButtonBox::accepted, this, &MaxCountDialogWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(maxCountLabel, 0, 0);
    layout->addWidget(maxCount_, 0, 1, 1, 2);
    layout->addWidget(enableSerial_, 1, 0, 1, 3);
    layout->addWidget(serialTextLabel, 2, 0);
    layout->addWidget(serialText_, 2, 1, 1, 2);
    layout->addWidget(numberLabel, 3, 0);
    layout->addWidget(Named(new QLabel("0x", this), "id1064prefix", "0x"), 3, 1);
    layout->addWidget(serialNumber_, 3, 2);
    layout->addWidget(autoIncrement_, 4, 0, 1, 3);
    layout->addWidget(startLabel, 5, 0);
    layout->addWidget(Named(new QLabel("0x", this), "id1065prefix", "0x"), 5, 1);
    layout->addWidget(startAddress_, 5, 2);
    layout->addWidget(endLabel, 6, 0);
    layout->addWidget(endAddress_, 6, 1, 1, 2);
    layout->addWidget(buttons, 7, 0, 1, 3);

    connect(maxCount_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.OnMaxCountEdited(text.toStdString());
        Render();
    });
    connect(enableSerial_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.OnEnableSerialClicked(checked);
        Render();
    });
    connect(serialText_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.OnSerialTextEdited(text.toStdString());
    });
    connect(serialNumber_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.OnSerialNumberEdited(text.toStdString()); });
    connect(autoIncrement_, &QCheckBox::clicked, this,
            [this](bool checked) { model_.OnAutoIncrementClicked(checked); });
    connect(startAddress_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (model_.OnStartAddressEdited(text.toStdString())) {
            errorBeep_();
        }
        Render();
    });
    Render();
}

void MaxCountDialogWindow::Render() {
    const MaxCountDialog::State s = model_.Present();
    Show(*maxCount_, s.maxCount);
    enableSerial_->setChecked(s.serialEnabled);
    Show(*serialText_, s.serialText);
    Show(*serialNumber_, s.serialNumber);
    autoIncrement_->setChecked(s.autoIncrement);
    Show(*startAddress_, s.startAddress);
    Show(*endAddress_, s.endAddress);
    for (QWidget* field : {static_cast<QWidget*>(autoIncrement_),
                           static_cast<QWidget*>(serialText_),
                           static_cast<QWidget*>(serialNumber_),
                           static_cast<QWidget*>(startAddress_)}) {
        field->setEnabled(s.serialFieldsEnabled);
    }
}

void MaxCountDialogWindow::accept() {
    const MaxCountDialog::OkOutcome outcome = model_.OnOk();
    if (outcome.message) {
        showMessage_(*outcome.message);
    }
    if (!outcome.accepted) {
        maxCount_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace korvid::qt
