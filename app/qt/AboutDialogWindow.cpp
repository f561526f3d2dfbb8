#include "AboutDialogWindow.h"

#include "TextTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvid::qt {

AboutDialogWindow::AboutDialogWindow(const QString& versionText, const QString& okText,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("id100");
    setWindowTitle(workbench::PlainText::aboutCaption);
    setAccessibleName(workbench::PlainText::aboutCaption);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(":/korvid/icon128.png").pixmap(48, 48));
    icon->setAccessibleName("Icon");
    auto* text = new QLabel(versionText, this);
    text->setObjectName("id1053");
    text->setAccessibleName("Version");
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(okText);
    ok->setObjectName("id1");
    ok->setAccessibleName("OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace korvid::qt
