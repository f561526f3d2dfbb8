#include "MaxCountDialog.h"

#include "DisplayText.h"
#include "HexDigitFilter.h"
#include "UserPrompts.h"
#include "serial_settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QValidator>

namespace korvid::workbench {
namespace {

constexpr int kHexDigits = 8;

// The serial text is stored as code page 936 bytes: at most 12 of them.
QByteArray SerialTextBytes(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder(text);
}

class SerialTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return SerialTextBytes(input).size() <= KORVID_SERIAL_TEXT_SIZE ? Acceptable : Invalid;
    }
};

template <typename W>
W* Named(W* widget, const QString& objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* Label(QWidget* parent, int id, const TextPair& text) {
    return Named(new QLabel(Shown(text), parent), QStringLiteral("id%1").arg(id), text.english);
}

}  // namespace

MaxCountDialog::MaxCountDialog(JobRecord& job, uint32_t flashSize, uint16_t& sharedMaxCount,
                               UserPrompts& prompts, const QString& caption, QWidget* parent)
    : QDialog(parent),
      job_(job),
      sharedMaxCount_(sharedMaxCount),
      prompts_(prompts),
      caption_(caption),
      flashSize_(flashSize),
      highestStartAddress_(core::HighestSerialAddress(flashSize)),
      errorBeep_(&QApplication::beep) {
    setObjectName("id130");
    setWindowTitle(Shown(TextTable::setMaxCountTitle));
    setAccessibleName(TextTable::setMaxCountTitle.english);

    QLabel* maxCountLabel = Label(this, 1052, TextTable::maxCountLabel);
    maxCount_ = Named(new QLineEdit("0", this), "id1051", "Max Count");
    enableSerial_ = Named(new QCheckBox(Shown(TextTable::enableSerialNumber), this), "id1055",
                          TextTable::enableSerialNumber.english);
    QLabel* serialTextLabel = Label(this, 1056, TextTable::serialString);
    serialText_ = Named(new QLineEdit(this), "id1057", TextTable::serialString.english);
    serialText_->setMaxLength(KORVID_SERIAL_TEXT_SIZE);
    serialText_->setValidator(new SerialTextValidator(serialText_));
    QLabel* numberLabel = Label(this, 1067, TextTable::serialNumberLabel);
    serialNumber_ = Named(new HexDigitEdit(this), "id1064", TextTable::serialNumberLabel.english);
    serialNumber_->setMaxLength(kHexDigits);
    autoIncrement_ = Named(new QCheckBox(Shown(TextTable::autoIncrementNumber), this), "id1058",
                           TextTable::autoIncrementNumber.english);
    QLabel* startLabel = Label(this, 1059, TextTable::startAddress);
    startAddress_ = Named(new HexDigitEdit(this), "id1065", TextTable::startAddress.english);
    startAddress_->setMaxLength(kHexDigits);
    QLabel* endLabel = Label(this, 1060, TextTable::endAddress);
    endAddress_ = Named(new QLineEdit(this), "id1061", TextTable::endAddress.english);
    endAddress_->setReadOnly(true);
    maxCountLabel->setBuddy(maxCount_);
    serialTextLabel->setBuddy(serialText_);
    numberLabel->setBuddy(serialNumber_);
    startLabel->setBuddy(startAddress_);
    endLabel->setBuddy(endAddress_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = Named(buttons->button(QDialogButtonBox::Ok), "id1", TextTable::ok.english);
    ok->setText(Shown(TextTable::ok));
    ok->setDefault(true);
    QPushButton* exit =
        Named(buttons->button(QDialogButtonBox::Cancel), "id2", TextTable::maxCountExit.english);
    exit->setText(Shown(TextTable::maxCountExit));
    connect(buttons, &QDialogButtonBox::accepted, this, &MaxCountDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MaxCountDialog::reject);

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

    connect(maxCount_, &QLineEdit::textEdited, this, &MaxCountDialog::OnMaxCountEdited);
    connect(enableSerial_, &QCheckBox::clicked, this, &MaxCountDialog::OnEnableSerialClicked);
    connect(startAddress_, &QLineEdit::textChanged, this, &MaxCountDialog::OnStartAddressChanged);

    WriteHexField(*serialNumber_, 0, kHexDigits);
    WriteHexField(*startAddress_, highestStartAddress_, kHexDigits);
    OnEnableSerialClicked();
}

void MaxCountDialog::OnEnableSerialClicked() {
    const bool on = enableSerial_->isChecked();
    for (QWidget* w :
         {static_cast<QWidget*>(autoIncrement_), static_cast<QWidget*>(serialText_),
          static_cast<QWidget*>(serialNumber_), static_cast<QWidget*>(startAddress_)}) {
        w->setEnabled(on);
    }
    job_.serialFlags = on ? (job_.serialFlags | 1u) : (job_.serialFlags & ~1u);
}

void MaxCountDialog::OnStartAddressChanged() {
    uint32_t address = ReadHexField(*startAddress_);
    if (address > highestStartAddress_) {
        address = highestStartAddress_;
        WriteHexField(*startAddress_, address, kHexDigits);  // comes back here, in range
        errorBeep_();
        return;
    }
    endAddress_->setText(QString::asprintf("0x%08X", address + core::kSerialBlockBytes - 1));
}

std::optional<int64_t> MaxCountDialog::ReadMaxCount() const {
    static const QRegularExpression kDecimal(R"(^\s*[+-]?\d+\s*$)");
    const QString text = maxCount_->text();
    if (!kDecimal.match(text).hasMatch()) {
        return std::nullopt;
    }
    return core::DecimalFieldValue(text.toStdString());
}

void MaxCountDialog::OnMaxCountEdited() {
    // A field that holds no number yet (empty, a lone sign) is left to the user.
    const std::optional<int64_t> count = ReadMaxCount();
    if (count && *count > core::kMaxCountLimit) {
        maxCount_->setText(QString::number(core::kMaxCountLimit));
    }
}

void MaxCountDialog::ShowMessage(const QString& text) {
    prompts_.Message(this, QMessageBox::Critical, caption_, text, QMessageBox::Ok, QMessageBox::Ok);
}

void MaxCountDialog::accept() {
    const std::optional<int64_t> count = ReadMaxCount();
    if (!count) {
        ShowMessage(Shown(TextTable::enterInteger));
        maxCount_->setFocus();
        return;
    }
    core::SerialSettings settings;
    settings.maxCount = *count;
    settings.serialEnabled = enableSerial_->isChecked();
    settings.autoIncrement = autoIncrement_->isChecked();
    settings.serialText = SerialTextBytes(serialText_->text()).toStdString();
    settings.serialNumber = ReadHexField(*serialNumber_);
    settings.serialAddress = ReadHexField(*startAddress_);
    if (core::CheckSerialSettings(settings, flashSize_) != core::SerialProblem::None) {
        // The text and the address cannot be entered out of range: it is the count.
        ShowMessage(Shown(TextTable::maxValueIs65530));
        maxCount_->setFocus();
        return;
    }
    sharedMaxCount_ = static_cast<uint16_t>(*count);
    core::ApplySerialSettings(settings, job_);
    QDialog::accept();
}

}  // namespace korvid::workbench
