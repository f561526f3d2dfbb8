#include "hex_edit_core.h"

#include <algorithm>
#include <cstring>

#include "hex_clipboard.h"
#include "hex_digit.h"

namespace korvid::hexedit {
namespace {

constexpr RectPx kNoDragRect{-1, -1, -1, -1};

}  // namespace

HexEditCore::HexEditCore(bool multiLine) : multiLine_(multiLine) {}

void HexEditCore::SetData(const uint8_t* source, uint32_t length) {
    cursor_.ClearAll();
    hasData_ = source != nullptr;
    if (hasData_) {
        data_.assign(source, source + length);
    } else {
        data_.clear();
    }
    data_.shrink_to_fit();
    layoutDirty_ = true;
    PlaceCaret({0, true});
}

uint32_t HexEditCore::GetData(uint8_t* destination, uint32_t capacity) const {
    if (!hasData_) {
        return 0;
    }
    const uint32_t copied = std::min(capacity, GetDataSize());
    if (copied > 0 && destination != nullptr) {
        std::memcpy(destination, data_.data(), copied);
    }
    return GetDataSize();
}

bool HexEditCore::SetBytesPerRow(unsigned count, bool autoFit) {
    if (count == configuredBytesPerRow_ && autoFit == autoFit_) {
        return false;
    }
    configuredBytesPerRow_ = count;
    autoFit_ = autoFit;
    layoutDirty_ = true;
    PlaceCaret(Caret());
    return true;
}

bool HexEditCore::SetShowAddress(bool show) {
    if (show == showAddress_) {
        return false;
    }
    showAddress_ = show;
    layoutDirty_ = true;
    PlaceCaret(Caret());
    return true;
}

bool HexEditCore::SetShowAscii(bool show) {
    if (show == showChars_) {
        return false;
    }
    showChars_ = show;
    layoutDirty_ = true;
    PlaceCaret(Caret());
    return true;
}

void HexEditCore::SetAddressDigits(uint8_t digits) {
    addressDigits_ = std::min<uint32_t>(digits, kMaxAddressDigits);
    layoutDirty_ = true;
    PlaceCaret(Caret());
}

void HexEditCore::SetCharMetrics(int64_t charWidthPx, int64_t charHeightPx) {
    charWidthPx_ = std::max<int64_t>(charWidthPx, 0);
    charHeightPx_ = std::max<int64_t>(charHeightPx, 0);
    layoutDirty_ = true;
}

void HexEditCore::SetClientSize(int64_t widthPx, int64_t heightPx) {
    clientWidthPx_ = widthPx;
    clientHeightPx_ = heightPx;
    RunLayout();
    PlaceCaret(Caret());
}

void HexEditCore::SetDragSize(int64_t widthPx, int64_t heightPx) {
    dragWidthPx_ = std::max<int64_t>(widthPx, 0);
    dragHeightPx_ = std::max<int64_t>(heightPx, 0);
}

void HexEditCore::SetFocused(bool focused) {
    focused_ = focused;
    if (focused_ && hasData_) {
        PlaceCaret(Caret());
    }
}

const Layout& HexEditCore::EnsureLayout() {
    if (layoutDirty_) {
        RunLayout();
    }
    return viewport_.GetLayout();
}

void HexEditCore::RunLayout() {
    layoutDirty_ = false;
    LayoutInput input;
    input.clientWidthPx = clientWidthPx_;
    input.clientHeightPx = clientHeightPx_;
    input.charWidthPx = charWidthPx_;
    input.charHeightPx = charHeightPx_;
    input.multiLine = multiLine_;
    input.showAddress = showAddress_;
    input.showChars = showChars_;
    input.autoFit = autoFit_;
    input.addressDigits = addressDigits_;
    input.configuredBytesPerRow = configuredBytesPerRow_;
    input.dataLengthBytes = GetDataSize();
    viewport_.ApplyLayout(ComputeLayout(input));
    if (layoutListener_) {
        layoutListener_();
    }
}

void HexEditCore::PlaceCaret(CaretPosition caret) {
    cursor_.SetCaret(caret);
    if (HasBytes()) {
        EnsureLayout();
    }
}

std::optional<RectPx> HexEditCore::CaretRect() const {
    if (!HasBytes() || !focused_) {
        return std::nullopt;
    }
    return viewport_.CaretRect(Caret());
}

void HexEditCore::SetSelection(uint32_t start, uint32_t end, bool makeVisible) {
    if (start == cursor_.SelectionStart() && end == cursor_.SelectionEnd()) {
        return;
    }
    const uint32_t last = GetDataSize() - 1;  // kNoOffset for an empty buffer
    const auto clamp = [&](uint32_t offset) {
        return offset != kNoOffset && offset >= GetDataSize() ? last : offset;
    };
    start = clamp(start);
    end = clamp(end);
    if (start != kNoOffset && end != kNoOffset && start > end) {
        std::swap(start, end);
    }
    cursor_.SetSelectionRange(start, end);
    if (makeVisible && start != kNoOffset && end != kNoOffset) {
        EnsureVisible(start, end);
    }
}

void HexEditCore::SelectAll() {
    if (GetDataSize() != 0) {
        SetSelection(0, GetDataSize() - 1, false);
    }
}

void HexEditCore::MoveCaret(CaretMove move, bool shiftDown) {
    // An empty buffer has no byte to stand on: the caret stays at offset 0.
    if (!HasBytes()) {
        return;
    }
    if (!shiftDown) {
        cursor_.ClearAll();
    }
    const CaretPosition target = ClampMove(Caret().offset, move, GetDataSize());
    if (shiftDown && cursor_.Anchor() != kNoOffset) {
        cursor_.ExtendTo(target.offset);
    }
    EnsureVisible(target.offset, target.offset);
    PlaceCaret(target);
}

KeyOutcome HexEditCore::KeyDown(HexKey key, KeyModifiers modifiers) {
    switch (CommandForKey(key, modifiers)) {
        case EditCommand::Copy:
            return KeyOutcome::Copy;
        case EditCommand::Paste:
            return KeyOutcome::Paste;
        case EditCommand::SelectAll:
            return KeyOutcome::SelectAll;
        case EditCommand::None:
            break;
    }
    if (modifiers.shift && cursor_.Anchor() == kNoOffset) {
        cursor_.SetAnchor(Caret().offset);
    }
    if (key == HexKey::Tab && !modifiers.control && !modifiers.alt) {
        return modifiers.shift ? KeyOutcome::FocusPrevious : KeyOutcome::FocusNext;
    }
    const Layout& layout = EnsureLayout();
    if (const auto move =
            MoveForKey(key, Caret().highNibble, layout.visibleRows, layout.bytesPerRow)) {
        MoveCaret(*move, modifiers.shift);
        return KeyOutcome::CaretMoved;
    }
    return KeyOutcome::None;
}

bool HexEditCore::TypeCharacter(uint32_t character, KeyModifiers modifiers) {
    if (modifiers.control || modifiers.alt || modifiers.meta || !HasBytes() || readOnly_) {
        return false;
    }
    const int value = character < 0x80 ? core::HexDigitValue(static_cast<char>(character)) : -1;
    if (value < 0) {
        return false;
    }
    uint8_t& byte = data_[Caret().offset];
    if (Caret().highNibble) {
        byte = static_cast<uint8_t>((byte & 0x0F) | (value << 4));
        MoveCaret({0, false}, modifiers.shift);
    } else {
        byte = static_cast<uint8_t>((byte & 0xF0) | value);
        MoveCaret({1, true}, modifiers.shift);
    }
    return true;
}

void HexEditCore::SetTopRow(uint32_t row) {
    EnsureLayout();
    viewport_.SetTopRow(row);
    PlaceCaret(Caret());
}

void HexEditCore::SetHorzScroll(int64_t pixels) {
    EnsureLayout();
    viewport_.SetHorzScroll(pixels);
}

void HexEditCore::ScrollRows(int64_t deltaRows) {
    EnsureLayout();
    viewport_.ScrollRows(deltaRows);
    PlaceCaret(Caret());
}

void HexEditCore::ScrollPixels(int64_t deltaPx) {
    EnsureLayout();
    viewport_.ScrollPixels(deltaPx);
}

void HexEditCore::EnsureVisible(uint32_t firstOffset, uint32_t lastOffset) {
    EnsureLayout();
    viewport_.EnsureVisible(firstOffset, lastOffset);
}

void HexEditCore::Wheel(int angleDelta) {
    const int64_t rows = wheel_.Take(angleDelta);
    if (rows != 0) {
        ScrollRows(rows);
    }
}

CaretPosition HexEditCore::HitTest(PointPx point) {
    if (!HasBytes()) {
        return {0, true};
    }
    EnsureLayout();
    return viewport_.HitTest(point, GetDataSize());
}

std::optional<CopyBlocks> HexEditCore::Copy() {
    if (!cursor_.HasSelection() || cursor_.SelectionEnd() >= GetDataSize()) {
        return std::nullopt;
    }
    const uint32_t start = cursor_.SelectionStart();
    const auto selected =
        std::span<const uint8_t>(data_).subspan(start, cursor_.SelectionEnd() - start + 1);
    return CopyBlocks{BuildCopyText(selected, start, EnsureLayout().bytesPerRow),
                      BuildBinaryDataBlock(selected)};
}

uint32_t HexEditCore::Paste(std::span<const uint8_t> binaryDataBlock) {
    if (!CanPaste()) {
        return 0;
    }
    const std::span<const uint8_t> bytes = ParseBinaryDataBlock(binaryDataBlock);
    const uint32_t position = cursor_.HasSelection() ? cursor_.SelectionStart() : Caret().offset;
    const uint32_t room = GetDataSize() - position;
    const auto count = static_cast<uint32_t>(std::min<std::size_t>(bytes.size(), room));
    if (count == 0) {
        return 0;
    }
    std::copy_n(bytes.begin(), count, data_.begin() + position);
    const uint32_t last = position + count - 1;
    SetSelection(position, last, true);
    PlaceCaret({last, false});
    return count;
}

void HexEditCore::MouseDown(PointPx point) {
    if (!HasBytes()) {
        return;
    }
    PlaceCaret(HitTest(point));
    dragStartRect_ = {point.x - dragWidthPx_ / 2, point.y - dragHeightPx_ / 2,
                      point.x + dragWidthPx_ / 2 + dragWidthPx_ % 2,
                      point.y + dragHeightPx_ / 2 + dragHeightPx_ % 2};
    cursor_.SetSelectionRange(kNoOffset, kNoOffset);
    cursor_.ClearMovingEnd();
    cursor_.SetAnchor(Caret().offset);
}

void HexEditCore::MouseMove(PointPx point, bool leftButtonDown) {
    if (!HasBytes() || !leftButtonDown || cursor_.Anchor() == kNoOffset) {
        return;
    }
    if (dragStartRect_ != kNoDragRect) {
        if (dragStartRect_.Contains(point)) {
            return;
        }
        dragStartRect_ = kNoDragRect;
    }
    const RectPx& text = EnsureLayout().textRect;
    if (multiLine_ && !text.Contains(point)) {
        if (const auto request = AutoScrollFor(point.y, text.top, text.bottom)) {
            autoScroll_.Start(point, *request);
        }
        autoScroll_.SetPoint(point);
    } else {
        autoScroll_.Stop();
    }
    SelectToCaret(point);
}

void HexEditCore::MouseUp() {
    autoScroll_.Stop();
}

void HexEditCore::MouseDoubleClick(PointPx point) {
    if (!HasBytes()) {
        return;
    }
    PlaceCaret(HitTest(point));
    cursor_.SetSelectionRange(Caret().offset, Caret().offset);
}

void HexEditCore::AutoScrollTick() {
    if (!HasBytes() || !autoScroll_.Tick()) {
        return;
    }
    ScrollRows(autoScroll_.DirectionRows());
    SelectToCaret(autoScroll_.Point());
}

void HexEditCore::SelectToCaret(PointPx point) {
    PlaceCaret(HitTest(point));
    cursor_.ExtendTo(Caret().offset);
}

}  // namespace korvid::hexedit
