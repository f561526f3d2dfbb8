// Caret moves, the key table, the edit-command chords, Tab, typing nibbles and
// the Shift selection rules.
#include <gtest/gtest.h>

#include "hex_edit_fixture.h"

namespace korvid::hexedit {
namespace {

using testing::CountingBytes;
using testing::kPlain;
using testing::kShift;
using testing::MakeCore;

constexpr KeyModifiers kControl{.control = true};

void Press(HexEditCore& core, HexKey key, int times = 1, bool shift = false) {
    for (int i = 0; i < times; ++i) {
        core.KeyDown(key, {.shift = shift});
    }
}

std::vector<uint8_t> DataOf(const HexEditCore& core) {
    return {core.Data().begin(), core.Data().end()};
}

TEST(HexEditTyping, FourThenOneOverwritesAByte) {
    const std::vector<uint8_t> zeros(2, 0);
    auto core = MakeCore(zeros, 4);
    EXPECT_TRUE(core.TypeCharacter('4', kPlain));
    EXPECT_EQ(core.Caret(), (CaretPosition{0, false}));
    EXPECT_TRUE(core.TypeCharacter('1', kPlain));
    EXPECT_EQ(DataOf(core), (std::vector<uint8_t>{0x41, 0x00}));
    EXPECT_EQ(core.Caret(), (CaretPosition{1, true}));
}

TEST(HexEditTyping, LetterDigitsInEitherCase) {
    auto core = MakeCore(std::vector<uint8_t>(2, 0), 4);
    EXPECT_TRUE(core.TypeCharacter('a', kPlain));
    EXPECT_TRUE(core.TypeCharacter('F', kPlain));
    EXPECT_EQ(core.Data()[0], 0xAF);
}

TEST(HexEditTyping, LastByteLowNibbleKeepsTheCaret) {
    auto core = MakeCore(std::vector<uint8_t>(3, 0), 4);
    Press(core, HexKey::End);
    EXPECT_EQ(core.Caret(), (CaretPosition{2, false}));
    EXPECT_TRUE(core.TypeCharacter('7', kPlain));
    EXPECT_EQ(core.Data()[2], 0x07);
    EXPECT_EQ(core.Caret(), (CaretPosition{2, false}));
}

TEST(HexEditTyping, RefusedInput) {
    auto core = MakeCore(std::vector<uint8_t>(2, 0x55), 4);
    for (uint32_t ch :
         {uint32_t{'g'}, uint32_t{' '}, uint32_t{8}, uint32_t{0x130}, uint32_t{'G'}}) {
        EXPECT_FALSE(core.TypeCharacter(ch, kPlain)) << ch;
    }
    core.SetReadOnly(true);
    EXPECT_FALSE(core.TypeCharacter('1', kPlain));
    EXPECT_EQ(DataOf(core), (std::vector<uint8_t>{0x55, 0x55}));
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditTyping, NoDigitWithControlAltOrTheWindowsKey) {
    auto core = MakeCore(std::vector<uint8_t>(2, 0), 4);
    for (const KeyModifiers chord : {kControl, KeyModifiers{.alt = true},
                                     KeyModifiers{.meta = true},
                                     KeyModifiers{.shift = true, .control = true, .alt = true}}) {
        EXPECT_FALSE(core.TypeCharacter('4', chord));
    }
    EXPECT_EQ(DataOf(core), (std::vector<uint8_t>{0x00, 0x00}));
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditTyping, ShiftedDigitExtendsTheSelectionFromTheAnchor) {
    auto core = MakeCore(std::vector<uint8_t>(8, 0), 4);
    core.KeyDown(HexKey::Other, kShift);  // the Shift key itself sets the anchor
    EXPECT_EQ(core.Cursor().Anchor(), 0u);
    EXPECT_TRUE(core.TypeCharacter('A', kShift));
    EXPECT_TRUE(core.TypeCharacter('B', kShift));
    EXPECT_EQ(core.Data()[0], 0xAB);
    EXPECT_EQ(core.Cursor().SelectionStart(), 0u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 1u);
}

TEST(HexEditCommands, ChordsOfTheEditCommands) {
    struct Case {
        HexKey key;
        KeyModifiers modifiers;
        EditCommand command;
    };
    const KeyModifiers controlShift{.shift = true, .control = true};
    const KeyModifiers everything{.shift = true, .control = true, .alt = true, .meta = true};
    const Case cases[] = {
        {HexKey::LetterA, kControl, EditCommand::SelectAll},
        {HexKey::LetterC, kControl, EditCommand::Copy},
        {HexKey::LetterV, kControl, EditCommand::Paste},
        // Whatever else is held with Control.
        {HexKey::LetterA, controlShift, EditCommand::SelectAll},
        {HexKey::LetterC, controlShift, EditCommand::Copy},
        {HexKey::LetterV, everything, EditCommand::Paste},
        // Without Control the letters are typed, not commands.
        {HexKey::LetterA, kPlain, EditCommand::None},
        {HexKey::LetterC, kShift, EditCommand::None},
        {HexKey::LetterV, KeyModifiers{.alt = true}, EditCommand::None},
        {HexKey::Insert, kControl, EditCommand::Copy},
        {HexKey::Insert, kShift, EditCommand::Paste},
        {HexKey::Insert, controlShift, EditCommand::Paste},
        {HexKey::Insert, kPlain, EditCommand::None},
        {HexKey::CopyKey, kPlain, EditCommand::Copy},
        {HexKey::PasteKey, kShift, EditCommand::Paste},
        {HexKey::Home, kControl, EditCommand::None},
        {HexKey::Other, kControl, EditCommand::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandForKey(c.key, c.modifiers), c.command)
            << static_cast<int>(c.key) << " shift " << c.modifiers.shift << " control "
            << c.modifiers.control << " alt " << c.modifiers.alt;
    }
}

TEST(HexEditCommands, ReportedToTheFrontEndWithoutTouchingTheCaret) {
    auto core = MakeCore(CountingBytes(8), 4);
    const KeyModifiers controlShift{.shift = true, .control = true};
    EXPECT_EQ(core.KeyDown(HexKey::LetterA, controlShift), KeyOutcome::SelectAll);
    EXPECT_EQ(core.KeyDown(HexKey::LetterC, controlShift), KeyOutcome::Copy);
    EXPECT_EQ(core.KeyDown(HexKey::Insert, kShift), KeyOutcome::Paste);
    // Shift held with a command sets no anchor.
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditCommands, SelectAllAndCopyWorkWhenReadOnly) {
    auto core = MakeCore(std::vector<uint8_t>{0xDE, 0xAD}, 4);
    core.SetReadOnly(true);
    ASSERT_EQ(core.KeyDown(HexKey::LetterA, kControl), KeyOutcome::SelectAll);
    core.SelectAll();
    EXPECT_EQ(core.Cursor().SelectionEnd(), 1u);
    ASSERT_EQ(core.KeyDown(HexKey::LetterC, kControl), KeyOutcome::Copy);
    const auto blocks = core.Copy();
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->text, "DE AD\n");
    EXPECT_FALSE(core.CanPaste());
}

TEST(HexEditKeys, TabAsksToMoveTheFocus) {
    auto core = MakeCore(CountingBytes(20), 4);
    EXPECT_EQ(core.KeyDown(HexKey::Tab, kPlain), KeyOutcome::FocusNext);
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
    // Shift+Tab goes back, and Shift makes the caret the anchor as for any key.
    EXPECT_EQ(core.KeyDown(HexKey::Tab, kShift), KeyOutcome::FocusPrevious);
    EXPECT_EQ(core.Cursor().Anchor(), 0u);
    // With Control or Alt, Tab is the window's or the desktop's.
    EXPECT_EQ(core.KeyDown(HexKey::Tab, kControl), KeyOutcome::None);
    EXPECT_EQ(core.KeyDown(HexKey::Tab, KeyModifiers{.alt = true}), KeyOutcome::None);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditKeys, NavigationMovesOtherKeysDoNothing) {
    auto core = MakeCore(CountingBytes(20), 4);
    EXPECT_EQ(core.KeyDown(HexKey::Down, kPlain), KeyOutcome::CaretMoved);
    EXPECT_EQ(core.KeyDown(HexKey::Other, kPlain), KeyOutcome::None);
    EXPECT_EQ(core.KeyDown(HexKey::Insert, kPlain), KeyOutcome::None);
    EXPECT_EQ(core.KeyDown(HexKey::LetterA, kPlain), KeyOutcome::None);
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
}

TEST(HexEditKeys, EndsOfTheBuffer) {
    auto core = MakeCore(CountingBytes(20), 4);
    Press(core, HexKey::Left);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
    Press(core, HexKey::Up);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
    Press(core, HexKey::End);
    EXPECT_EQ(core.Caret(), (CaretPosition{19, false}));
    Press(core, HexKey::Right);
    EXPECT_EQ(core.Caret(), (CaretPosition{19, false}));
    Press(core, HexKey::Down);
    EXPECT_EQ(core.Caret(), (CaretPosition{19, false}));
    Press(core, HexKey::Home);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditKeys, ShiftRightTwiceSelectsFromTheAnchor) {
    auto core = MakeCore(CountingBytes(20), 4);
    Press(core, HexKey::Right, 10);
    ASSERT_EQ(core.Caret(), (CaretPosition{5, true}));
    Press(core, HexKey::Right, 1, true);
    EXPECT_EQ(core.Caret(), (CaretPosition{5, false}));
    EXPECT_EQ(core.Cursor().SelectionStart(), 5u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 5u);
    Press(core, HexKey::Right, 1, true);
    EXPECT_EQ(core.Caret(), (CaretPosition{6, true}));
    EXPECT_EQ(core.Cursor().SelectionStart(), 5u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 6u);
    EXPECT_EQ(core.Cursor().MovingEnd(), 6u);
    // Shift+Left back past the anchor: the selection flips to the other side.
    Press(core, HexKey::Left, 4, true);
    EXPECT_EQ(core.Cursor().SelectionStart(), 4u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 5u);
    // A move without Shift drops selection and anchor.
    Press(core, HexKey::Right);
    EXPECT_FALSE(core.Cursor().HasSelection());
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
}

TEST(HexEditKeys, PagesMoveVisibleRowsLessOne) {
    auto core = MakeCore(CountingBytes(200), 5);
    ASSERT_EQ(core.EnsureLayout().visibleRows, 5u);
    Press(core, HexKey::Right, 3);  // offset 1, low nibble
    Press(core, HexKey::PageDown);
    EXPECT_EQ(core.Caret(), (CaretPosition{65, false}));
    Press(core, HexKey::PageDown);
    EXPECT_EQ(core.Caret(), (CaretPosition{129, false}));
    EXPECT_EQ(core.Viewport().TopRow(), 4u);  // offset 129's row is the last full row
    Press(core, HexKey::PageUp);
    EXPECT_EQ(core.Caret(), (CaretPosition{65, false}));
    Press(core, HexKey::PageDown, 3);
    EXPECT_EQ(core.Caret(), (CaretPosition{199, false}));
    Press(core, HexKey::Left);
    Press(core, HexKey::PageUp, 4);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditKeys, NoVisibleRowsPagesNowhere) {
    auto core = MakeCore(CountingBytes(200), 0);
    Press(core, HexKey::Down);
    Press(core, HexKey::PageDown);
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
    Press(core, HexKey::PageUp);
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
}

TEST(HexEditKeys, ReadOnlyStillMovesAndSelects) {
    auto core = MakeCore(CountingBytes(20), 4);
    core.SetReadOnly(true);
    Press(core, HexKey::Down, 1, true);
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
    EXPECT_EQ(core.Cursor().SelectionEnd(), 16u);
}

TEST(HexEditKeys, EmptyAndMissingBuffersKeepTheCaretAtZero) {
    for (const bool null : {true, false}) {
        HexEditCore core;
        core.SetCharMetrics(8, 16);
        core.SetClientSize(400, 200);
        const uint8_t none = 0;
        core.SetData(null ? nullptr : &none, 0);
        for (HexKey key : {HexKey::Right, HexKey::End, HexKey::Down, HexKey::PageDown, HexKey::Left,
                           HexKey::Home}) {
            core.KeyDown(key, kShift);
            core.KeyDown(key, kPlain);
        }
        EXPECT_FALSE(core.TypeCharacter('1', kPlain));
        core.MouseDown({300, 150});
        core.MouseMove({300, 190}, true);
        core.MouseDoubleClick({300, 150});
        core.SelectAll();
        EXPECT_EQ(core.Caret(), (CaretPosition{0, true})) << "null " << null;
        EXPECT_FALSE(core.Cursor().HasSelection());
    }
}

TEST(HexEditKeys, OneByteBuffer) {
    auto core = MakeCore(std::vector<uint8_t>{0x12}, 4);
    Press(core, HexKey::Right, 3);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, false}));
    Press(core, HexKey::PageDown);
    Press(core, HexKey::Down);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, false}));
    Press(core, HexKey::Up);
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
    EXPECT_EQ(core.HitTest({900, 900}), (CaretPosition{0, false}));
}

TEST(HexEditSelection, SetSelectionClampsAndOrders) {
    auto core = MakeCore(CountingBytes(20), 4);
    core.SetSelection(5, 999, false);
    EXPECT_EQ(core.Cursor().SelectionStart(), 5u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 19u);
    core.SetSelection(9, 3, false);
    EXPECT_EQ(core.Cursor().SelectionStart(), 3u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 9u);
    core.SetSelection(kNoOffset, kNoOffset, true);
    EXPECT_FALSE(core.Cursor().HasSelection());
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
}

TEST(HexEditSelection, MakeVisibleScrollsToTheRange) {
    auto core = MakeCore(CountingBytes(400), 4);
    core.SetSelection(200, 210, true);
    EXPECT_EQ(core.Viewport().TopRow(), 10u);  // row 13 becomes the last full row
    EXPECT_EQ(core.Caret(), (CaretPosition{0, true}));
}

TEST(HexEditSelection, SelectAllLeavesCaretAndAnchor) {
    auto core = MakeCore(CountingBytes(40), 4);
    Press(core, HexKey::Down);
    core.SelectAll();
    EXPECT_EQ(core.Cursor().SelectionStart(), 0u);
    EXPECT_EQ(core.Cursor().SelectionEnd(), 39u);
    EXPECT_EQ(core.Caret(), (CaretPosition{16, true}));
    EXPECT_EQ(core.Cursor().Anchor(), kNoOffset);
}

}  // namespace
}  // namespace korvid::hexedit
