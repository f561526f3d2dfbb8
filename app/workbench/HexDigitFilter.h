// Hexadecimal entry fields: a key filter that lets only hexadecimal digits through,
// the edit class that applies it, and reading and writing such fields.
#pragma once

#include <QLineEdit>
#include <QObject>

#include <cstdint>

namespace korvid::workbench {

// Installed as an event filter on a field: a typed character passes if it is
// "0"-"9", "A"-"F", "a"-"f" or backspace (code 8), plus form feed (code 12) when
// asked; every other character, control characters included, is dropped. Keys
// that carry no character (cursor keys), Delete with any modifier (an editing key,
// although the platform hands it over with the DEL character), the dialog's own
// keys (Tab, Enter, Escape), context-menu commands, focus and mouse reach the field
// unchanged.
class HexDigitFilter : public QObject {
    Q_OBJECT

public:
    explicit HexDigitFilter(QObject* parent = nullptr, bool allowFormFeed = false);

    bool Passes(QChar character) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allowFormFeed_;
};

// An edit field whose typed characters go through HexDigitFilter, which here also
// passes form feed.
class HexDigitEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit HexDigitEdit(QWidget* parent = nullptr);
};

// The field's text scanned as "%X" scans it; 0 when it holds no hexadecimal number.
uint32_t ReadHexField(const QLineEdit& field);
// Writes value as "%X" (width 0) or with width zero-padded upper-case digits.
void WriteHexField(QLineEdit& field, uint32_t value, int width);

}  // namespace korvid::workbench
