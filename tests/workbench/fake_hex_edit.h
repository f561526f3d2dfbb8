// The hex editor for tests: the window-free editor core behind the operations the
// workbench calls, laid out as on a screen of 80 columns, with typing as a user
// would type into it.
#pragma once

#include "hex_edit_control.h"
#include "hex_edit_core.h"

#include <string_view>

namespace korvid::workbench::testing {

class FakeHexEdit : public hexedit::HexEditControl {
public:
    FakeHexEdit() {
        core.SetCharMetrics(8, 16);
        core.SetClientSize(8 * 80, 16 * 20);
        core.SetFocused(true);
    }

    void SetData(const uint8_t* source, uint32_t length, bool) override {
        core.SetData(source, length);
    }
    uint32_t GetData(uint8_t* destination, uint32_t capacity) const override {
        return core.GetData(destination, capacity);
    }
    uint32_t GetDataSize() const override { return core.GetDataSize(); }
    void SetShowAddress(bool show, bool) override { core.SetShowAddress(show); }
    void SetAddressDigits(uint8_t digits, bool) override { core.SetAddressDigits(digits); }
    void SetShowAscii(bool show, bool) override { core.SetShowAscii(show); }
    void SetBytesPerRow(unsigned count, bool autoFit, bool) override {
        core.SetBytesPerRow(count, autoFit);
    }
    void SetAddressColors(uint32_t background, uint32_t text, bool) override {
        core.Colors().addressBackground = background;
        core.Colors().addressText = text;
    }
    void SetHexColors(uint32_t background, uint32_t text, bool) override {
        core.Colors().hexBackground = background;
        core.Colors().hexText = text;
    }
    void SetAsciiColors(uint32_t background, uint32_t text, bool) override {
        core.Colors().charsBackground = background;
        core.Colors().charsText = text;
    }
    void SetBackgroundColor(uint32_t color, bool) override { core.Colors().background = color; }
    void SetReadOnly(bool readOnly, bool) override { core.SetReadOnly(readOnly); }

    // Types characters at the caret; true when every one was taken.
    bool Type(std::string_view characters) {
        bool taken = true;
        for (const char c : characters) {
            taken = core.TypeCharacter(static_cast<unsigned char>(c), {}) && taken;
        }
        return taken;
    }

    hexedit::HexEditCore core;
};

}  // namespace korvid::workbench::testing
