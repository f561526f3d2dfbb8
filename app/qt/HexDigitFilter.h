// Hexadecimal entry fields: a key filter that lets only hexadecimal digits through
// (the rule is the workbench's PassesHexDigitFilter), and the edit class that
// applies it with form feed allowed.
#pragma once

#include <QLineEdit>
#include <QObject>

namespace korvid::qt {

// Installed as an event filter on a field: typed characters go through the rule.
// Keys that carry no character (cursor keys), Delete with any modifier (an editing
// key, although the platform hands it over with the DEL character), the dialog's
// own keys (Tab, Enter, Escape), context-menu commands, focus and mouse reach the
// field unchanged.
class HexDigitFilter : public QObject {
    Q_OBJECT

public:
    explicit HexDigitFilter(QObject* parent = nullptr, bool allowFormFeed = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allowFormFeed_;
};

class HexDigitEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit HexDigitEdit(QWidget* parent = nullptr);
};

}  // namespace korvid::qt
