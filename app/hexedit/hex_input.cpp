#include "hex_input.h"

namespace korvid::hexedit {
namespace {

// End and Home move far enough to reach either end of any buffer shown.
constexpr int64_t kToEndBytes = 134217727;
constexpr int64_t kToStartBytes = -134217728;

}  // namespace

EditCommand CommandForKey(HexKey key, KeyModifiers modifiers) {
    switch (key) {
        case HexKey::LetterA:
            return modifiers.control ? EditCommand::SelectAll : EditCommand::None;
        case HexKey::LetterC:
            return modifiers.control ? EditCommand::Copy : EditCommand::None;
        case HexKey::LetterV:
            return modifiers.control ? EditCommand::Paste : EditCommand::None;
        case HexKey::Insert:
            if (modifiers.shift) {
                return EditCommand::Paste;
            }
            return modifiers.control ? EditCommand::Copy : EditCommand::None;
        case HexKey::CopyKey:
            return EditCommand::Copy;
        case HexKey::PasteKey:
            return EditCommand::Paste;
        default:
            return EditCommand::None;
    }
}

std::optional<CaretMove> MoveForKey(HexKey key, bool highNibble, uint32_t visibleRows,
                                    uint32_t bytesPerRow) {
    const int64_t n = bytesPerRow;
    // A page keeps one row of context; with no row in view it moves nothing.
    const int64_t pageBytes = static_cast<int64_t>(visibleRows > 0 ? visibleRows - 1 : 0) * n;
    switch (key) {
        case HexKey::PageUp:
            return CaretMove{-pageBytes, highNibble};
        case HexKey::PageDown:
            return CaretMove{pageBytes, highNibble};
        case HexKey::End:
            return CaretMove{kToEndBytes, false};
        case HexKey::Home:
            return CaretMove{kToStartBytes, true};
        case HexKey::Left:
            return highNibble ? CaretMove{-1, false} : CaretMove{0, true};
        case HexKey::Up:
            return CaretMove{-n, highNibble};
        case HexKey::Right:
            return highNibble ? CaretMove{0, false} : CaretMove{1, true};
        case HexKey::Down:
            return CaretMove{n, highNibble};
        default:
            return std::nullopt;
    }
}

}  // namespace korvid::hexedit
