// Tips over a dialog's controls, shown also over disabled controls: each tool is
// the control's rectangle in the dialog, and the dialog's message loop relays
// every mouse message to the tip window as if it had gone to the dialog itself
// (a disabled control gets none). A control whose tip is empty shows none.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace korvid::win32 {

class DialogTooltips {
public:
    explicit DialogTooltips(HWND dialog);
    ~DialogTooltips();
    DialogTooltips(const DialogTooltips&) = delete;
    DialogTooltips& operator=(const DialogTooltips&) = delete;

    // Adds the control's tool on first use.
    void SetTip(int controlId, std::string_view utf8);
    // Hands a message of the dialog's loop to the tips (mouse messages only).
    void Relay(const MSG& message) const;

private:
    TOOLINFOW ToolOf(int controlId) const;

    HWND dialog_;
    HWND tips_;
};

}  // namespace korvid::win32
