// The hex editor's keyboard rules, on neutral key codes that a front end
// translates its own key events into (Qt keys, virtual-key codes): which keys
// are the edit commands, which key is which caret move, what Tab does and which
// typed characters are digits.
#pragma once

#include <cstdint>
#include <optional>

#include "hex_cursor.h"

namespace korvid::hexedit {

enum class HexKey {
    Tab,  // Shift+Tab (Qt's Backtab) included
    PageUp,
    PageDown,
    End,
    Home,
    Left,
    Up,
    Right,
    Down,
    Insert,
    LetterA,
    LetterC,
    LetterV,
    CopyKey,   // a keyboard's own Copy key
    PasteKey,  // a keyboard's own Paste key
    Other,
};

struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;  // the Windows or Super key
};

enum class EditCommand { None, Copy, Paste, SelectAll };

// A, C and V while Control is down, whatever else is held (so Ctrl+Shift+C
// copies too); Control+Insert copies and Shift+Insert pastes, as everywhere on
// both desktops; a keyboard's own Copy and Paste keys.
EditCommand CommandForKey(HexKey key, KeyModifiers modifiers);

// The move a navigation key makes from a caret on highNibble, with visibleRows
// rows in view and bytesPerRow bytes on a row. None for every other key.
std::optional<CaretMove> MoveForKey(HexKey key, bool highNibble, uint32_t visibleRows,
                                    uint32_t bytesPerRow);

// What a key press asks of the front end.
enum class KeyOutcome {
    None,
    CaretMoved,
    FocusNext,
    FocusPrevious,
    Copy,
    Paste,
    SelectAll,
};

}  // namespace korvid::hexedit
