#include "HexDigitFilter.h"

#include "hex_text.h"

#include <QKeyEvent>

namespace korvid::workbench {
namespace {

bool IsDialogKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
           key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// Delete is an editing key like the cursor keys, but its press carries the DEL
// character (U+007F) as text, which must not be taken for a typed character.
bool IsEditingKey(int key) {
    return key == Qt::Key_Delete;
}

}  // namespace

HexDigitFilter::HexDigitFilter(QObject* parent, bool allowFormFeed)
    : QObject(parent), allowFormFeed_(allowFormFeed) {}

bool HexDigitFilter::Passes(QChar c) const {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f') || u == 8 ||
           (allowFormFeed_ && u == 12);
}

bool HexDigitFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().isEmpty() || IsDialogKey(key->key()) || IsEditingKey(key->key())) {
        return false;
    }
    for (const QChar c : key->text()) {
        if (!Passes(c)) {
            return true;  // dropped before the field sees it
        }
    }
    return false;
}

HexDigitEdit::HexDigitEdit(QWidget* parent) : QLineEdit(parent) {
    installEventFilter(new HexDigitFilter(this, true));
}

uint32_t ReadHexField(const QLineEdit& field) {
    return ScanHex(field.text().toStdString()).value_or(0);
}

void WriteHexField(QLineEdit& field, uint32_t value, int width) {
    field.setText(QString::fromStdString(FormatHex(value, width)));
}

}  // namespace korvid::workbench
