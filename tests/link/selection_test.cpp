#include "link/selection.h"

#include <gtest/gtest.h>

namespace korvid::link {
namespace {

class SelectionTest : public ::testing::Test {
protected:
    ~SelectionTest() override { SelectProgrammer(""); }
};

TEST_F(SelectionTest, WithoutSelectionEveryDeviceQualifies) {
    SelectProgrammer("");
    EXPECT_FALSE(HasSelection());
    EXPECT_TRUE(IsSelected({"1-2", "A1", false}));
    EXPECT_TRUE(IsSelected({"", "", true}));
}

TEST_F(SelectionTest, ByLocationOrBySerial) {
    SelectProgrammer("1-2.3");
    EXPECT_TRUE(HasSelection());
    EXPECT_TRUE(IsSelected({"1-2.3", "A1", false}));
    EXPECT_TRUE(IsSelected({"1-2.3", "", true}));
    EXPECT_FALSE(IsSelected({"1-2", "1-2.3x", false}));
    EXPECT_FALSE(IsSelected({"1-2.3.1", "", false}));

    SelectProgrammer("A1");
    EXPECT_TRUE(IsSelected({"3-1", "A1", false}));
    EXPECT_FALSE(IsSelected({"3-1", "A10", false}));
    EXPECT_FALSE(IsSelected({"3-1", "a1", false}));
    // A device without a serial elsewhere is not the one.
    EXPECT_FALSE(IsSelected({"3-2", "", false}));
}

TEST_F(SelectionTest, SerialMatchFollowsTheProgrammerWhereItShowsNoSerial) {
    SelectProgrammer("A1");
    EXPECT_FALSE(IsSelected({"3-1", "", true}));  // not seen by its serial yet
    ASSERT_TRUE(IsSelected({"3-1", "A1", false}));
    // In firmware-update mode, or without a serial, at the same place.
    EXPECT_TRUE(IsSelected({"3-1", "", true}));
    EXPECT_TRUE(IsSelected({"3-1", "BOOT", true}));
    EXPECT_TRUE(IsSelected({"3-1", "", false}));
    // Another programmer now in that port shows its own serial: not selected.
    EXPECT_FALSE(IsSelected({"3-1", "B2", false}));
    EXPECT_FALSE(IsSelected({"3-2", "", true}));
    // Moved to another port: found there by its serial, followed there.
    ASSERT_TRUE(IsSelected({"4-1", "A1", false}));
    EXPECT_TRUE(IsSelected({"4-1", "", true}));
    EXPECT_FALSE(IsSelected({"3-1", "", true}));
}

TEST_F(SelectionTest, ANewSelectionForgetsWhereTheLastWasSeen) {
    SelectProgrammer("A1");
    ASSERT_TRUE(IsSelected({"3-1", "A1", false}));
    SelectProgrammer("A1");
    EXPECT_FALSE(IsSelected({"3-1", "", true}));
}

}  // namespace
}  // namespace korvid::link
