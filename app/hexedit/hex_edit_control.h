// The operations a host dialog calls on a hex editor control: the code image it
// holds, its look and write protection. The Qt widget and the Win32 window class
// implement them over one HexEditCore; the workbench and its tests know only this.
#pragma once

#include <cstdint>

namespace korvid::hexedit {

class HexEditControl {
public:
    virtual ~HexEditControl() = default;

    // Replaces the bytes with a copy of length bytes; null leaves no data.
    virtual void SetData(const uint8_t* source, uint32_t length, bool redraw) = 0;
    // Copies min(capacity, length) bytes; returns the length (0 without data).
    virtual uint32_t GetData(uint8_t* destination, uint32_t capacity) const = 0;
    virtual uint32_t GetDataSize() const = 0;

    virtual void SetShowAddress(bool show, bool redraw) = 0;
    virtual void SetAddressDigits(uint8_t digits, bool redraw) = 0;
    virtual void SetShowAscii(bool show, bool redraw) = 0;
    virtual void SetBytesPerRow(unsigned count, bool autoFit, bool redraw) = 0;
    // Colours are COLORREF values 0x00BBGGRR.
    virtual void SetAddressColors(uint32_t background, uint32_t text, bool redraw) = 0;
    virtual void SetHexColors(uint32_t background, uint32_t text, bool redraw) = 0;
    virtual void SetAsciiColors(uint32_t background, uint32_t text, bool redraw) = 0;
    virtual void SetBackgroundColor(uint32_t color, bool redraw) = 0;
    virtual void SetReadOnly(bool readOnly, bool redraw) = 0;
};

}  // namespace korvid::hexedit
