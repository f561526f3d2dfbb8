// Key presses that QTest's key clicks do not deliver as the window system does.
#pragma once

#include <QTest>
#include <QWidget>

namespace korvid::qt::testing {

// Delete as the X11 and Wayland platforms deliver it: with the DEL character
// (U+007F) as its text, where QTest's key click sends none.
inline void PressDelete(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_Delete, QString(QChar(0x7F)), modifiers);
}

}  // namespace korvid::qt::testing
