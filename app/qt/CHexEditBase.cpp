#include "CHexEditBase.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <climits>
#include <utility>

#include "hex_clipboard.h"
#include "hex_edit_core.h"
#include "hex_font_cell.h"
#include "hex_plan_painter.h"

using korvid::hexedit::AnnouncedCaret;
using korvid::hexedit::CaretPosition;
using korvid::hexedit::HexEditCore;
using korvid::hexedit::HexKey;
using korvid::hexedit::KeyModifiers;
using korvid::hexedit::KeyOutcome;
using korvid::hexedit::PointPx;
using korvid::hexedit::ScrollBarRange;
using korvid::hexedit::TextSpan;

namespace {

// The registered clipboard format "BinaryData" as Qt names it on Windows; on
// X11 and Wayland the same string is an ordinary custom type.
const QString kBinaryDataMimeType =
    QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(QLatin1String(korvid::hexedit::kBinaryDataFormat.data(),
                           static_cast<qsizetype>(korvid::hexedit::kBinaryDataFormat.size())));

// Families tried, in order, when the system's fixed-pitch font is refused.
const char* const kFallbackFamilies[] = {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono",
                                         "Courier New"};

HexKey KeyFor(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return HexKey::Tab;
        case Qt::Key_PageUp:
            return HexKey::PageUp;
        case Qt::Key_PageDown:
            return HexKey::PageDown;
        case Qt::Key_End:
            return HexKey::End;
        case Qt::Key_Home:
            return HexKey::Home;
        case Qt::Key_Left:
            return HexKey::Left;
        case Qt::Key_Up:
            return HexKey::Up;
        case Qt::Key_Right:
            return HexKey::Right;
        case Qt::Key_Down:
            return HexKey::Down;
        case Qt::Key_Insert:
            return HexKey::Insert;
        case Qt::Key_A:
            return HexKey::LetterA;
        case Qt::Key_C:
            return HexKey::LetterC;
        case Qt::Key_V:
            return HexKey::LetterV;
        case Qt::Key_Copy:
        case Qt::Key_F16:  // Copy on Sun keyboards
            return HexKey::CopyKey;
        case Qt::Key_Paste:
        case Qt::Key_F18:  // Paste on Sun keyboards
            return HexKey::PasteKey;
        default:
            return HexKey::Other;
    }
}

KeyModifiers ModifiersOf(const QKeyEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers();
    return {.shift = held.testFlag(Qt::ShiftModifier) || event->key() == Qt::Key_Backtab,
            .control = held.testFlag(Qt::ControlModifier),
            .alt = held.testFlag(Qt::AltModifier),
            .meta = held.testFlag(Qt::MetaModifier)};
}

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX));
}

// Qt's range ends at the last position, the window system's at the last unit.
void ApplyRange(QScrollBar* bar, const ScrollBarRange& range) {
    bar->setRange(0, range.shown ? ClampToInt(range.rangeMax - range.page + 1) : 0);
    bar->setPageStep(ClampToInt(range.page));
    bar->setSingleStep(ClampToInt(range.lineStep));
    bar->setValue(ClampToInt(range.position));
}

PointPx ToPoint(const QPointF& p) {
    const QPoint rounded = p.toPoint();
    return {rounded.x(), rounded.y()};
}

}  // namespace

CHexEditBase::CHexEditBase(QWidget* parent, bool multiLine)
    : QWidget(parent),
      core_(std::make_unique<HexEditCore>(multiLine)),
      verticalBar_(new QScrollBar(Qt::Vertical, this)),
      horizontalBar_(new QScrollBar(Qt::Horizontal, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAccessibleName(QStringLiteral("Hex editor"));
    verticalBar_->setAccessibleName(QStringLiteral("Hex editor vertical scroll bar"));
    horizontalBar_->setAccessibleName(QStringLiteral("Hex editor horizontal scroll bar"));
    verticalBar_->hide();
    horizontalBar_->hide();
    verticalBar_->setFocusPolicy(Qt::NoFocus);
    horizontalBar_->setFocusPolicy(Qt::NoFocus);
    connect(verticalBar_, &QScrollBar::valueChanged, this, &CHexEditBase::OnVerticalValue);
    connect(horizontalBar_, &QScrollBar::valueChanged, this, &CHexEditBase::OnHorizontalValue);

    const QPalette& colors = palette();
    using korvid::hexedit::ColorRefFromColor;
    selectionColors_ = {ColorRefFromColor(colors.color(QPalette::Highlight)),
                        ColorRefFromColor(colors.color(QPalette::HighlightedText)),
                        ColorRefFromColor(colors.color(QPalette::Button)),
                        ColorRefFromColor(colors.color(QPalette::WindowText))};

    const int flashMs = QGuiApplication::styleHints()->cursorFlashTime();
    caretBlinkTimer_.setInterval(flashMs > 0 ? flashMs / 2 : 0);
    connect(&caretBlinkTimer_, &QTimer::timeout, this, [this] {
        caretBlinkOn_ = !caretBlinkOn_;
        update();
    });
    autoScrollTimer_.setInterval(korvid::hexedit::kAutoScrollIntervalMs);
    connect(&autoScrollTimer_, &QTimer::timeout, this, &CHexEditBase::OnAutoScrollTick);

    core_->SetLayoutListener([this] { ScheduleScrollBarUpdate(); });
    const int dragPx = QApplication::startDragDistance();
    core_->SetDragSize(dragPx, dragPx);
    // The system's fixed-pitch font, else the first fall-back family accepted.
    std::vector<QFont> candidates{QFontDatabase::systemFont(QFontDatabase::FixedFont)};
    for (const char* family : kFallbackFamilies) {
        QFont fallback = candidates.front();  // its size and style
        fallback.setFamilies({QString::fromLatin1(family)});
        candidates.push_back(fallback);
    }
    AdoptFont(candidates);
}

CHexEditBase::~CHexEditBase() = default;

void CHexEditBase::SetData(const uint8_t* source, uint32_t length, bool redraw) {
    const auto before = BytesBeforeEdit();
    core_->SetData(source, length);
    Redraw(redraw);
    AnnounceEdit(before);
    AnnounceCaret();
}

uint32_t CHexEditBase::GetData(uint8_t* destination, uint32_t capacity) const {
    return core_->GetData(destination, capacity);
}

uint32_t CHexEditBase::GetDataSize() const {
    return core_->GetDataSize();
}

void CHexEditBase::SetBytesPerRow(unsigned count, bool autoFit, bool redraw) {
    if (core_->SetBytesPerRow(count, autoFit)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetShowAddress(bool show, bool redraw) {
    if (core_->SetShowAddress(show)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetShowAscii(bool show, bool redraw) {
    if (core_->SetShowAscii(show)) {
        Redraw(redraw);
    }
}

void CHexEditBase::SetAddressDigits(uint8_t digits, bool redraw) {
    core_->SetAddressDigits(digits);
    Redraw(redraw);
}

void CHexEditBase::SetAddressColors(uint32_t background, uint32_t text, bool redraw) {
    core_->Colors().addressBackground = background;
    core_->Colors().addressText = text;
    Redraw(redraw);
}

void CHexEditBase::SetHexColors(uint32_t background, uint32_t text, bool redraw) {
    core_->Colors().hexBackground = background;
    core_->Colors().hexText = text;
    Redraw(redraw);
}

void CHexEditBase::SetAsciiColors(uint32_t background, uint32_t text, bool redraw) {
    core_->Colors().charsBackground = background;
    core_->Colors().charsText = text;
    Redraw(redraw);
}

void CHexEditBase::SetBackgroundColor(uint32_t color, bool redraw) {
    core_->Colors().background = color;
    Redraw(redraw);
}

void CHexEditBase::SetReadOnly(bool readOnly, bool redraw) {
    core_->SetReadOnly(readOnly);
    Redraw(redraw);
}

void CHexEditBase::SetSelection(uint32_t start, uint32_t end, bool makeVisible, bool redraw) {
    core_->SetSelection(start, end, makeVisible);
    SyncScrollBarPositions();
    Redraw(redraw);
    AnnounceCaret();
}

bool CHexEditBase::IsMultiLine() const {
    return core_->IsMultiLine();
}

QFont CHexEditBase::GetFont() const {
    return font_ ? font_->Font() : QFont();
}

const HexEditCore& CHexEditBase::LaidOutCore() {
    core_->EnsureLayout();
    return *core_;
}

void CHexEditBase::OnEditCopy() {
    const auto blocks = core_->Copy();
    if (!blocks) {
        return;
    }
    auto* mime = new QMimeData;
    const auto& binary = blocks->binaryData;
    mime->setData(kBinaryDataMimeType, QByteArray(reinterpret_cast<const char*>(binary.data()),
                                                  static_cast<qsizetype>(binary.size())));
    mime->setText(QString::fromLatin1(blocks->text));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void CHexEditBase::OnEditPaste() {
    if (!core_->CanPaste()) {
        return;
    }
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (mime == nullptr || !mime->hasFormat(kBinaryDataMimeType)) {
        return;
    }
    const QByteArray block = mime->data(kBinaryDataMimeType);
    const auto before = BytesBeforeEdit();
    const uint32_t written = core_->Paste(std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(block.constData()), static_cast<size_t>(block.size())));
    if (written == 0) {
        return;
    }
    AnnounceEdit(before);
    RestartCaretBlink();
    Refresh();
    emit editChanged();
}

void CHexEditBase::OnEditSelectAll() {
    core_->SelectAll();
    update();
    AnnounceCaret();
}

bool CHexEditBase::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The edit commands belong to the control while it has the focus, ahead
        // of any window shortcut bound to the same keys.
        auto* key = static_cast<QKeyEvent*>(event);
        if (korvid::hexedit::CommandForKey(KeyFor(key->key()), ModifiersOf(key)) !=
            korvid::hexedit::EditCommand::None) {
            key->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        // Tab is the control's too, before QWidget moves the focus on its own.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            OnKey(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void CHexEditBase::keyPressEvent(QKeyEvent* event) {
    OnKey(event);
}

void CHexEditBase::OnKey(QKeyEvent* event) {
    // Every key is the control's: Enter and Escape do nothing here.
    event->accept();
    const KeyModifiers modifiers = ModifiersOf(event);
    const KeyOutcome outcome = core_->KeyDown(KeyFor(event->key()), modifiers);
    switch (outcome) {
        case KeyOutcome::Copy:
            OnEditCopy();
            return;
        case KeyOutcome::Paste:
            OnEditPaste();
            return;
        case KeyOutcome::SelectAll:
            OnEditSelectAll();
            return;
        case KeyOutcome::FocusNext:
        case KeyOutcome::FocusPrevious:
            focusNextPrevChild(outcome == KeyOutcome::FocusNext);
            return;
        case KeyOutcome::CaretMoved:
            RestartCaretBlink();
            Refresh();
            return;
        case KeyOutcome::None:
            break;
    }
    const QString text = event->text();
    if (text.size() != 1) {
        return;
    }
    const auto before = BytesBeforeEdit();
    if (core_->TypeCharacter(text.at(0).unicode(), modifiers)) {
        AnnounceEdit(before);
        RestartCaretBlink();
        Refresh();
        emit editChanged();
    }
}

void CHexEditBase::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    core_->SetFocused(true);
    RestartCaretBlink();
    update();
}

void CHexEditBase::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    core_->SetFocused(false);
    caretBlinkTimer_.stop();
    update();
}

void CHexEditBase::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    core_->MouseDown(ToPoint(event->position()));
    RestartCaretBlink();
    Refresh();
}

void CHexEditBase::mouseMoveEvent(QMouseEvent* event) {
    core_->MouseMove(ToPoint(event->position()), event->buttons() & Qt::LeftButton);
    SyncAutoScrollTimer();
    Refresh();
}

void CHexEditBase::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    core_->MouseUp();
    SyncAutoScrollTimer();
    update();
}

void CHexEditBase::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    core_->MouseDoubleClick(ToPoint(event->position()));
    RestartCaretBlink();
    update();
    AnnounceCaret();
}

void CHexEditBase::wheelEvent(QWheelEvent* event) {
    core_->Wheel(event->angleDelta().y());
    Refresh();
    event->accept();
}

void CHexEditBase::contextMenuEvent(QContextMenuEvent* event) {
    // The control has no context menu.
    event->accept();
}

void CHexEditBase::paintEvent(QPaintEvent*) {
    const korvid::hexedit::PaintPlan plan =
        korvid::hexedit::PlanPaint(*core_, caretBlinkOn_ && hasFocus());
    QPainter painter(this);
    if (verticalBar_->isVisible() && horizontalBar_->isVisible()) {
        // The corner between the two bars is the widget's, not the client's.
        painter.fillRect(QRect(verticalBar_->x(), horizontalBar_->y(), verticalBar_->width(),
                               horizontalBar_->height()),
                         palette().window());
    }
    korvid::hexedit::DrawPaintPlan(painter, plan, font_ ? &*font_ : nullptr, core_->Colors(),
                                   selectionColors_);
}

void CHexEditBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyClientSize();
    UpdateScrollBars();
}

void CHexEditBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        AdoptFont({font()});
        update();
    }
}

void CHexEditBase::AdoptFont(const std::vector<QFont>& candidates) {
    const auto chosen = korvid::hexedit::ChooseFont(candidates.size(), [&](std::size_t index) {
        return std::optional(HexEditFont::Measure(candidates[index]));
    });
    // A refused font leaves the one drawn with; the layout is redone either way.
    if (chosen) {
        font_.emplace(candidates[chosen->index]);
        core_->SetCharMetrics(chosen->cell.widthPx, chosen->cell.heightPx);
    }
    core_->MarkLayoutDirty();
}

void CHexEditBase::ApplyClientSize() {
    const int barWidth = verticalBar_->isHidden() ? 0 : verticalBar_->sizeHint().width();
    const int barHeight = horizontalBar_->isHidden() ? 0 : horizontalBar_->sizeHint().height();
    const int clientWidth = std::max(width() - barWidth, 0);
    const int clientHeight = std::max(height() - barHeight, 0);
    verticalBar_->setGeometry(clientWidth, 0, barWidth, clientHeight);
    horizontalBar_->setGeometry(0, clientHeight, clientWidth, barHeight);
    core_->SetClientSize(clientWidth, clientHeight);
}

void CHexEditBase::UpdateScrollBars() {
    if (!core_->IsMultiLine()) {
        return;
    }
    // Showing or hiding a bar changes the client area and so the layout; a few
    // rounds settle it.
    for (int round = 0; round < 3; ++round) {
        const bool vertical = core_->VerticalBar().shown;
        const bool horizontal = core_->HorizontalBar().shown;
        if (vertical == !verticalBar_->isHidden() && horizontal == !horizontalBar_->isHidden()) {
            break;
        }
        verticalBar_->setVisible(vertical);
        horizontalBar_->setVisible(horizontal);
        ApplyClientSize();
    }
    core_->EnsureLayout();
    const QSignalBlocker blockVertical(verticalBar_);
    const QSignalBlocker blockHorizontal(horizontalBar_);
    ApplyRange(verticalBar_, core_->VerticalBar());
    ApplyRange(horizontalBar_, core_->HorizontalBar());
}

void CHexEditBase::ScheduleScrollBarUpdate() {
    if (scrollBarUpdatePending_) {
        return;
    }
    scrollBarUpdatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            scrollBarUpdatePending_ = false;
            UpdateScrollBars();
        },
        Qt::QueuedConnection);
}

void CHexEditBase::SyncScrollBarPositions() {
    const QSignalBlocker blockVertical(verticalBar_);
    const QSignalBlocker blockHorizontal(horizontalBar_);
    verticalBar_->setValue(static_cast<int>(core_->Viewport().TopRow()));
    horizontalBar_->setValue(ClampToInt(core_->Viewport().HorzScrollPx()));
}

void CHexEditBase::SyncAutoScrollTimer() {
    const bool running = core_->GetAutoScroll().Running();
    if (running && !autoScrollTimer_.isActive()) {
        autoScrollTimer_.start();
    } else if (!running && autoScrollTimer_.isActive()) {
        autoScrollTimer_.stop();
    }
}

void CHexEditBase::Redraw(bool redraw) {
    if (redraw) {
        update();
    }
}

void CHexEditBase::Refresh() {
    SyncScrollBarPositions();
    update();
    AnnounceCaret();
}

void CHexEditBase::MoveCaretTo(CaretPosition caret) {
    const int64_t delta = int64_t{caret.offset} - int64_t{core_->Caret().offset};
    core_->MoveCaret({delta, caret.highNibble}, false);
    RestartCaretBlink();
    Refresh();
}

void CHexEditBase::ShowRange(uint32_t firstOffset, uint32_t lastOffset) {
    core_->EnsureVisible(firstOffset, lastOffset);
    Refresh();
}

void CHexEditBase::AnnounceCaret() {
    const AnnouncedCaret now = korvid::hexedit::AnnouncedCaretOf(*core_);
    const AnnouncedCaret before = std::exchange(announced_, now);
    if (now == before || !QAccessible::isActive()) {
        return;
    }
    if (now.selection != before.selection) {
        // No selection is told as an empty one at the caret.
        const TextSpan span = now.selection.value_or(TextSpan{now.caretIndex, now.caretIndex});
        QAccessibleTextSelectionEvent event(this, ClampToInt(span.start), ClampToInt(span.end));
        event.setCursorPosition(ClampToInt(now.caretIndex));
        QAccessible::updateAccessibility(&event);
    }
    if (now.caretIndex != before.caretIndex) {
        QAccessibleTextCursorEvent event(this, ClampToInt(now.caretIndex));
        QAccessible::updateAccessibility(&event);
    }
}

std::optional<std::vector<uint8_t>> CHexEditBase::BytesBeforeEdit() const {
    if (!QAccessible::isActive()) {
        return std::nullopt;
    }
    const auto bytes = core_->Data();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void CHexEditBase::AnnounceEdit(const std::optional<std::vector<uint8_t>>& before) {
    if (!before || !QAccessible::isActive()) {
        return;
    }
    const auto change = korvid::hexedit::TextChangeBetween(*before, core_->Data(),
                                                           core_->EnsureLayout().bytesPerRow);
    if (!change) {
        return;
    }
    QAccessibleTextUpdateEvent event(this, ClampToInt(change->position),
                                     QString::fromLatin1(change->removed),
                                     QString::fromLatin1(change->inserted));
    QAccessible::updateAccessibility(&event);
}

void CHexEditBase::RestartCaretBlink() {
    caretBlinkOn_ = true;
    if (hasFocus() && caretBlinkTimer_.interval() > 0) {
        caretBlinkTimer_.start();
    }
}

void CHexEditBase::OnAutoScrollTick() {
    core_->AutoScrollTick();
    SyncAutoScrollTimer();
    Refresh();
}

void CHexEditBase::OnVerticalValue(int value) {
    core_->SetTopRow(static_cast<uint32_t>(value));
    update();
}

void CHexEditBase::OnHorizontalValue(int value) {
    core_->SetHorzScroll(value);
    update();
}
