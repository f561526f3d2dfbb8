// How the dialogs' controls are found from outside: the object name "id" and the
// control's number in the design's dialog templates (as tools find a Windows
// dialog's controls by id), and the accessible name a screen reader speaks.
#pragma once

#include <QString>

namespace korvid::qt {

template <typename W>
W* Named(W* widget, const QString& objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}

template <typename W>
W* Named(W* widget, int id, const QString& accessibleName) {
    return Named(widget, QStringLiteral("id%1").arg(id), accessibleName);
}

}  // namespace korvid::qt
