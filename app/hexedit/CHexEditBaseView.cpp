#include "CHexEditBaseView.h"

#include <QResizeEvent>

CHexEditBaseView::CHexEditBaseView(QWidget* parent)
    : QWidget(parent), hexEdit_(new CHexEditBase(this, true)) {
    // The control covers the whole view, so the view never erases itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Hex editor view"));
    hexEdit_->setObjectName(QStringLiteral("256"));
    hexEdit_->setGeometry(0, 0, width(), height());
    setFocusProxy(hexEdit_);
}

void CHexEditBaseView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    hexEdit_->setGeometry(0, 0, event->size().width(), event->size().height());
}
