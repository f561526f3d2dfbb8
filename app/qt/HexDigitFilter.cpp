#include "HexDigitFilter.h"

#include "hex_text.h"

#include <QKeyEvent>

namespace korvid::qt {
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

bool HexDigitFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().isEmpty() || IsDialogKey(key->key()) || IsEditingKey(key->key())) {
        return false;
    }
    for (const char32_t c : key->text().toUcs4()) {
        if (!workbench::PassesHexDigitFilter(c, allowFormFeed_)) {
            return true;  // dropped before the field sees it
        }
    }
    return false;
}

HexDigitEdit::HexDigitEdit(QWidget* parent) : QLineEdit(parent) {
    installEventFilter(new HexDigitFilter(this, true));
}

}  // namespace korvid::qt
