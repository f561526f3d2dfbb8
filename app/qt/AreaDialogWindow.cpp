#include "AreaDialogWindow.h"

#include "HexDigitFilter.h"
#include "TextTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace korvid::qt {
namespace {

namespace TextTable = workbench::TextTable;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

AreaDialogWindow::AreaDialogWindow(workbench::AreaDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    const workbench::AreaDialog::State s = model_.Present();
    setObjectName("id129");
    setWindowTitle(Text(s.caption));
    setAccessibleName(TextTable::selectArea.english);

    codeArea_ = new QRadioButton(Text(s.codeArea), this);
    codeArea_->setObjectName("id1042");
    codeArea_->setAccessibleName(TextTable::apCode.english);
    dataArea_ = new QRadioButton(Text(s.dataArea), this);
    dataArea_->setObjectName("id1043");
    dataArea_->setAccessibleName(TextTable::iapData.english);
    auto* addressLabel = new QLabel(Text(s.addressLabel), this);
    addressLabel->setObjectName("id1045");
    addressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addressLabel->setAccessibleName(TextTable::addressPrefix.english);
    address_ = new QLineEdit(this);
    address_->setObjectName("id1044");
    address_->setAccessibleName("Address");
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
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(codeArea_, 0, 0, 1, 2);
    layout->addWidget(dataArea_, 1, 0, 1, 2);
    layout->addWidget(addressLabel, 2, 0);
    layout->addWidget(address_, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);

    connect(codeArea_, &QRadioButton::clicked, this, [this] {
        model_.OnCodeAreaClicked();
        Render();
    });
    connect(dataArea_, &QRadioButton::clicked, this, [this] {
        model_.OnDataAreaClicked();
        Render();
    });
    connect(address_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.OnAddressEdited(text.toStdString());
        Render();
    });
    Render();
}

void AreaDialogWindow::Render() {
    const workbench::AreaDialog::State s = model_.Present();
    codeArea_->setChecked(!s.dataAreaChosen);
    dataArea_->setChecked(s.dataAreaChosen);
    address_->setEnabled(s.addressEnabled);
    if (address_->text() != Text(s.address)) {
        const int cursor = address_->cursorPosition();
        address_->setText(Text(s.address));
        address_->setCursorPosition(cursor);
    }
}

}  // namespace korvid::qt
