#include "CHexEditBaseAccessible.h"

#include <algorithm>
#include <climits>

#include "CHexEditBase.h"
#include "hex_accessible_text.h"
#include "hex_edit_core.h"

using korvid::hexedit::BytesOfSpan;
using korvid::hexedit::HexAccessibleText;
using korvid::hexedit::HexEditCore;
using korvid::hexedit::TextSpan;
using korvid::hexedit::TextUnit;

namespace {

int ToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

TextUnit UnitFor(QAccessible::TextBoundaryType boundary) {
    switch (boundary) {
        case QAccessible::CharBoundary:
            return TextUnit::Character;
        case QAccessible::WordBoundary:
            return TextUnit::Word;
        case QAccessible::SentenceBoundary:
        case QAccessible::ParagraphBoundary:
        case QAccessible::LineBoundary:
            return TextUnit::Line;
        case QAccessible::NoBoundary:
            break;
    }
    return TextUnit::Whole;
}

// core's layout is up to date (CHexEditBase::LaidOutCore).
HexAccessibleText TextOf(const HexEditCore& core) {
    return HexAccessibleText(core.Data(), core.Viewport().GetLayout().bytesPerRow);
}

// The text of a unit found by find, with its span; -1 and nothing for an offset
// outside the text.
template <typename Find>
QString UnitText(const HexEditCore& core, int offset, int* startOffset, int* endOffset, Find find) {
    const HexAccessibleText text = TextOf(core);
    if (offset < 0 || offset > text.Length()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    const TextSpan span = find(text, offset);
    *startOffset = ToInt(span.start);
    *endOffset = ToInt(span.end);
    return QString::fromLatin1(text.Text(span));
}

QAccessibleInterface* HexEditFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(CHexEditBase::staticMetaObject.className()) &&
        object != nullptr && object->isWidgetType()) {
        return new CHexEditBaseAccessible(static_cast<CHexEditBase*>(object));
    }
    return nullptr;
}

}  // namespace

CHexEditBaseAccessible::CHexEditBaseAccessible(CHexEditBase* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText) {}

CHexEditBase* CHexEditBaseAccessible::Editor() const {
    return static_cast<CHexEditBase*>(widget());
}

const HexEditCore& CHexEditBaseAccessible::Core() const {
    return Editor()->LaidOutCore();
}

void* CHexEditBaseAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CHexEditBaseAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = Core().IsReadOnly();
    state.editable = !Core().IsReadOnly();
    state.selectableText = true;
    state.multiLine = Core().IsMultiLine();
    return state;
}

QString CHexEditBaseAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) {
        return QString::fromStdString(korvid::hexedit::CaretSummary(Core()));
    }
    return QAccessibleWidget::text(t);
}

void CHexEditBaseAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    const auto span = korvid::hexedit::AnnouncedCaretOf(Core()).selection;
    if (selectionIndex == 0 && span) {
        *startOffset = ToInt(span->start);
        *endOffset = ToInt(span->end);
    }
}

int CHexEditBaseAccessible::selectionCount() const {
    return korvid::hexedit::AnnouncedCaretOf(Core()).selection ? 1 : 0;
}

void CHexEditBaseAccessible::addSelection(int startOffset, int endOffset) {
    // The editor holds one selection: a new one replaces it.
    setSelection(0, startOffset, endOffset);
}

void CHexEditBaseAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        Editor()->SetSelection(korvid::hexedit::kNoOffset, korvid::hexedit::kNoOffset, false, true);
    }
}

void CHexEditBaseAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) {
        return;
    }
    const auto bytes = BytesOfSpan({startOffset, endOffset}, Core().GetDataSize());
    if (!bytes) {
        removeSelection(0);
        return;
    }
    Editor()->SetSelection(bytes->first, bytes->last, true, true);
}

int CHexEditBaseAccessible::cursorPosition() const {
    return ToInt(korvid::hexedit::AnnouncedCaretOf(Core()).caretIndex);
}

void CHexEditBaseAccessible::setCursorPosition(int position) {
    if (Core().HasBytes()) {
        Editor()->MoveCaretTo(korvid::hexedit::CaretAtIndex(position, Core().GetDataSize()));
    }
}

QString CHexEditBaseAccessible::text(int startOffset, int endOffset) const {
    return QString::fromLatin1(TextOf(Core()).Text({startOffset, endOffset}));
}

QString CHexEditBaseAccessible::textBeforeOffset(int offset,
                                                 QAccessible::TextBoundaryType boundaryType,
                                                 int* startOffset, int* endOffset) const {
    return UnitText(Core(), offset, startOffset, endOffset,
                    [&](const HexAccessibleText& text, int64_t index) {
                        return text.UnitBefore(index, UnitFor(boundaryType));
                    });
}

QString CHexEditBaseAccessible::textAfterOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const {
    return UnitText(Core(), offset, startOffset, endOffset,
                    [&](const HexAccessibleText& text, int64_t index) {
                        return text.UnitAfter(index, UnitFor(boundaryType));
                    });
}

QString CHexEditBaseAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
    return UnitText(Core(), offset, startOffset, endOffset,
                    [&](const HexAccessibleText& text, int64_t index) {
                        return text.UnitAt(index, UnitFor(boundaryType));
                    });
}

int CHexEditBaseAccessible::characterCount() const {
    return ToInt(TextOf(Core()).Length());
}

QRect CHexEditBaseAccessible::characterRect(int offset) const {
    const auto rect = korvid::hexedit::CharacterRect(Core().Viewport(), offset);
    if (!rect) {
        return {};
    }
    // Readers take screen coordinates.
    const QPoint topLeft = Editor()->mapToGlobal(QPoint(ToInt(rect->left), ToInt(rect->top)));
    return {topLeft, QSize(ToInt(rect->Width()), ToInt(rect->Height()))};
}

int CHexEditBaseAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = Editor()->mapFromGlobal(point);
    const HexEditCore& core = Core();
    if (!core.HasBytes() || !Editor()->rect().contains(local)) {
        return -1;
    }
    return ToInt(korvid::hexedit::CaretIndex(
        core.Viewport().HitTest({local.x(), local.y()}, core.GetDataSize())));
}

void CHexEditBaseAccessible::scrollToSubstring(int startIndex, int endIndex) {
    if (const auto bytes = BytesOfSpan({startIndex, endIndex}, Core().GetDataSize())) {
        Editor()->ShowRange(bytes->first, bytes->last);
    }
}

QString CHexEditBaseAccessible::attributes(int, int* startOffset, int* endOffset) const {
    // One run without attributes over the whole text.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void InstallHexEditAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&HexEditFactory);
        return true;
    }();
    (void)installed;
}
