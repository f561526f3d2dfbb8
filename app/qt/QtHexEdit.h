// The Qt hex editor widget behind the operations the workbench calls on it.
#pragma once

#include "CHexEditBase.h"
#include "hex_edit_control.h"

namespace korvid::qt {

class QtHexEdit final : public hexedit::HexEditControl {
public:
    explicit QtHexEdit(CHexEditBase& widget) : widget_(widget) {}

    void SetData(const uint8_t* source, uint32_t length, bool redraw) override {
        widget_.SetData(source, length, redraw);
    }
    uint32_t GetData(uint8_t* destination, uint32_t capacity) const override {
        return widget_.GetData(destination, capacity);
    }
    uint32_t GetDataSize() const override { return widget_.GetDataSize(); }
    void SetShowAddress(bool show, bool redraw) override { widget_.SetShowAddress(show, redraw); }
    void SetAddressDigits(uint8_t digits, bool redraw) override {
        widget_.SetAddressDigits(digits, redraw);
    }
    void SetShowAscii(bool show, bool redraw) override { widget_.SetShowAscii(show, redraw); }
    void SetBytesPerRow(unsigned count, bool autoFit, bool redraw) override {
        widget_.SetBytesPerRow(count, autoFit, redraw);
    }
    void SetAddressColors(uint32_t background, uint32_t text, bool redraw) override {
        widget_.SetAddressColors(background, text, redraw);
    }
    void SetHexColors(uint32_t background, uint32_t text, bool redraw) override {
        widget_.SetHexColors(background, text, redraw);
    }
    void SetAsciiColors(uint32_t background, uint32_t text, bool redraw) override {
        widget_.SetAsciiColors(background, text, redraw);
    }
    void SetBackgroundColor(uint32_t color, bool redraw) override {
        widget_.SetBackgroundColor(color, redraw);
    }
    void SetReadOnly(bool readOnly, bool redraw) override { widget_.SetReadOnly(readOnly, redraw); }

private:
    CHexEditBase& widget_;
};

}  // namespace korvid::qt
