#include "AreaDialogWindow.h"

#include "HexDigitFilter.h"
#include "TextTable.h"
#include "control_names.h"

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

    codeArea_ = Named(new QRadioButton(Text(s.codeArea), this), 1042, TextTable::apCode.english);
    dataArea_ = Named(new QRadioButton(Text(s.dataArea), this), 1043, TextTable::iapData.english);
    auto* addressLabel =
        Named(new QLabel(Text(s.addressLabel), this), 1045, TextTable::addressPrefix.english);
    addressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    address_ = Named(new QLineEdit(this), 1044, "Address");
    address_->installEventFilter(new HexDigitFilter(address_));
    addressLabel->setBuddy(address_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = Named(buttons->button(QDialogButtonBox::Ok), 1, "OK");
    ok->setText("OK");
    ok->setDefault(true);
    QPushButton* cancel = Named(buttons->button(QDialogButtonBox::Cancel), 2, "Cancel");
    cancel->setText("Cancel");
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
