// MainDialog: start-up, the remembered selection, the part panel and ending.
#include "workbench_fixture.h"

namespace korvid::workbench {
namespace {

using testing::WorkbenchTest;

TEST_F(WorkbenchTest, FirstStartSelectsTheFirstSeriesAndPart) {
    const MainDialogState& s = Shown();
    EXPECT_EQ(s.caption, "Vostrel 8051 ISP(R5) 编程器 v7.10");
    EXPECT_EQ(s.series.items, (std::vector<std::string>{"Series A", "Series B", "Series C",
                                                        "Series D", "Series E", "Series F",
                                                        "Series G"}));
    EXPECT_EQ(SelectedPart(), "Part A1");
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    EXPECT_EQ(Dialog().PartIcpMode(), 0u);
    EXPECT_EQ(s.programmerRadio, 0);
    EXPECT_TRUE(s.ispEnabled);
    EXPECT_FALSE(s.icpEnabled);
    EXPECT_EQ(s.areaRadio, AREA_AP);
    EXPECT_FALSE(s.areasEnabled);
    EXPECT_TRUE(s.loadEnabled);
    EXPECT_TRUE(s.dumpEnabled);
    EXPECT_FALSE(s.saveKpjEnabled);
    EXPECT_FALSE(s.updateTargetEnabled);
    EXPECT_FALSE(s.updateProgrammerEnabled);
    EXPECT_EQ(hex_.GetDataSize(), 0u);
    EXPECT_EQ(s.texts.load, "打开文件");
    EXPECT_EQ(s.texts.autoReloadCode, "自动重新载入数据");
    // The hex editor is set up as the code buffer: grey, 16 bytes a row, editable.
    EXPECT_TRUE(hex_.core.ShowAddress());
    EXPECT_TRUE(hex_.core.ShowAscii());
    EXPECT_EQ(hex_.core.AddressDigits(), 8u);
    EXPECT_EQ(hex_.core.Colors().background, 0xC8C8C8u);
    EXPECT_EQ(hex_.core.Colors().hexText, 0u);
    EXPECT_FALSE(hex_.core.IsReadOnly());
}

TEST_F(WorkbenchTest, StoredSelectionIsRestored) {
    settings_.programmer = 0;
    settings_.body = 15;
    EXPECT_EQ(Shown().series.items.at(Shown().series.selected), "Series B");
    EXPECT_EQ(SelectedPart(), "Part B4");
    EXPECT_EQ(Dialog().Job().partIndex, 15);
}

TEST_F(WorkbenchTest, OnlyTheLowByteOfAStoredValueCounts) {
    settings_.programmer = 0x100;
    settings_.body = 0x1106;
    EXPECT_EQ(Dialog().Job().partIndex, 6);
}

TEST_F(WorkbenchTest, StoredIcpRestoresNothingNotEvenThePart) {
    settings_.programmer = 1;
    settings_.body = 15;
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    EXPECT_EQ(Shown().programmerRadio, 0);
}

TEST_F(WorkbenchTest, UnusableStoredValuesKeepTheDefaults) {
    settings_.programmer = 0;
    settings_.body = 44;  // not below the part count
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    Restart();
    settings_.programmer = 2;  // neither ISP nor ICP
    settings_.body = 15;
    EXPECT_EQ(Dialog().Job().partIndex, 0);
    Restart();
    settings_.programmer = 0;
    settings_.body.reset();  // no "Body"
    EXPECT_EQ(Dialog().Job().partIndex, 0);
}

TEST_F(WorkbenchTest, ExitStoresTheSelectionForTheNextStart) {
    Choose("Series C", "Part C2");
    EXPECT_EQ(settings_.selectionWrites, 0);
    Dialog().OnExit();
    EXPECT_EQ(settings_.programmer, 0u);
    EXPECT_EQ(settings_.body, 11u);
    Restart();
    EXPECT_EQ(Dialog().Job().partIndex, 11);
}

TEST_F(WorkbenchTest, SeriesBListsItsEighteenPartsInTableOrder) {
    Choose("Series B", "Part B1");
    EXPECT_EQ(Shown().part.items,
              (std::vector<std::string>{"Part B1", "Part B2", "Part B3", "Part B4", "Part B5",
                                        "Part B6", "Part B7", "Part B8", "Part B9", "Part B10",
                                        "Part B11", "Part B12", "Part B13", "Part B14",
                                        "Part B15", "Part B16", "Part B17", "Part B18"}));
}

TEST_F(WorkbenchTest, PartA1LabelsFiveBoxesAndDisablesTheRest) {
    const std::vector<std::string> expected{"仅上电重置看门狗", "禁用内部扩展RAM", "降低振荡增益",
                                            "保留 IAP-资料", "双倍速(6T模式)"};
    const std::vector<std::string> names{"FZWDTCR", "AUX_RAM", "OSCDN", "KEEP IAP-DATA", "EN6T"};
    for (int k = 0; k < kOptionBoxCount; ++k) {
        const OptionBoxState& box = Shown().options[k];
        EXPECT_FALSE(box.checked);
        if (k < 5) {
            EXPECT_EQ(box.text, expected[k]);
            EXPECT_EQ(box.accessibleName, names[k]);
            EXPECT_TRUE(box.enabled && box.shown);
        } else {
            EXPECT_TRUE(box.text.empty());
            EXPECT_FALSE(box.enabled || box.shown);
            EXPECT_EQ(box.accessibleName, "Option " + std::to_string(k));
        }
    }
    EXPECT_EQ(Shown().ispMemory.items, std::vector<std::string>{"NA"});
    EXPECT_FALSE(Shown().ispMemory.enabled);
    EXPECT_EQ(Shown().ispMemory.tip, "NA");
    EXPECT_FALSE(Shown().iapMemory.enabled);
    EXPECT_EQ(Shown().hwwidl, (FieldState{"1", false}));
    EXPECT_EQ(Shown().hwps, (FieldState{"7", false}));
}

TEST_F(WorkbenchTest, IapMemoryListForA3800Flash) {
    const ListState& iap = Shown().iapMemory;
    ASSERT_EQ(iap.items.size(), 29u);
    EXPECT_EQ(iap.items[0], "0.0 k");
    EXPECT_EQ(iap.items[1], "0.5 k");
    EXPECT_EQ(iap.items[28], "14.0 k");
    EXPECT_EQ(iap.selected, 0);
    EXPECT_EQ(iap.tip, "NA");
    Dialog().OnIapMemoryChanged(1);
    EXPECT_EQ(Shown().iapMemory.tip, "3600h - 37FFh");
    // A new part selects the first item again, and the tip follows.
    Choose("Series B", "Part B2");
    EXPECT_EQ(Shown().iapMemory.selected, 0);
    EXPECT_EQ(Shown().iapMemory.tip, "NA");
}

TEST_F(WorkbenchTest, OptionBoxesKeepTheJobRecordInStep) {
    Dialog().OnOptionClicked(3, true);
    Dialog().OnOptionClicked(0, true);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b1001u);
    Dialog().OnOptionClicked(0, false);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b1000u);
    EXPECT_TRUE(Shown().options[3].checked);
    EXPECT_FALSE(Shown().options[0].checked);
    Dialog().OnOptionClicked(7, true);  // no such option on Part A1
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b1000u);

    // Part B4 has "HWENW" as its fifth option but no HWWIDL/HWPS settings.
    Choose("Series B", "Part B4");
    EXPECT_EQ(Dialog().Job().optionStates[0], 0u);
    EXPECT_EQ(Shown().options[4].text, "上电启动看门狗");
    EXPECT_EQ(Shown().options[4].accessibleName, "HWENW");
    Dialog().OnOptionClicked(4, true);
    EXPECT_FALSE(Shown().hwwidl.enabled);
    EXPECT_FALSE(Shown().hwps.enabled);
}

TEST_F(WorkbenchTest, ReselectingTheCurrentPartChangesNothing) {
    Load(WriteFile("code.bin", std::string(16, '\x5A')));
    Dialog().OnOptionClicked(1, true);
    Choose("Series A", "Part A1");
    EXPECT_TRUE(Shown().options[1].checked);
    EXPECT_EQ(Dialog().Job().optionStates[0], 0b10u);
    EXPECT_EQ(Image().size(), 16u);
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_FALSE(Dialog().ReloadPath().empty());

    Choose("Series A", "Part A2");  // a real change empties everything
    EXPECT_FALSE(Shown().options[1].checked);
    EXPECT_EQ(Image().size(), 0u);
    EXPECT_FALSE(CodeCommandsEnabled());
    EXPECT_TRUE(Dialog().ReloadPath().empty());
    EXPECT_TRUE(Shown().source.empty());
    EXPECT_TRUE(Shown().size.empty());
    EXPECT_TRUE(Shown().checksum.empty());
}

// A click on the programmer type already chosen is no part change: the image,
// its edits and the options stay.
TEST_F(WorkbenchTest, ClickingTheChosenProgrammerTypeChangesNothing) {
    Choose("Series B", "Part B4");
    Load(WriteFile("code.bin", std::string(16, '\x5A')));
    ASSERT_TRUE(Type("1"));
    Dialog().OnOptionClicked(2, true);
    Dialog().OnProgrammerTypeClicked(0);
    EXPECT_EQ(SelectedPart(), "Part B4");
    EXPECT_EQ(Image()[0], 0x1A);
    EXPECT_TRUE(Shown().options[2].checked);
    EXPECT_TRUE(CodeCommandsEnabled());
    EXPECT_TRUE(view_.messages.empty());
    Dialog().OnProgrammerTypeClicked(1);  // the ICP catalogue is empty: no change either
    EXPECT_EQ(Shown().programmerRadio, 0);
    EXPECT_EQ(Image().size(), 16u);
}

// A part without "HWENW" never enables the HWWIDL and HWPS fields through an
// option that a part before it had in that place.
TEST_F(WorkbenchTest, HwenwPlaceIsForgottenWithThePart) {
    Choose("Series B", "Part B4");
    Dialog().OnOptionClicked(4, true);
    Choose("Series A", "Part A2");
    Dialog().OnOptionClicked(4, true);
    EXPECT_FALSE(Shown().hwwidl.enabled);
}

TEST_F(WorkbenchTest, UpdateButtonsSetToTargetAndCheckBoxesTheirFlags) {
    Load(WriteFile("code.bin", std::string(4, '\x01')));
    Dialog().OnUpdateProgrammer();
    ASSERT_EQ(programmer_.calls.size(), 1u);
    EXPECT_EQ(programmer_.calls[0].toTarget, 0u);
    Dialog().OnUpdateTarget();
    EXPECT_EQ(programmer_.calls[1].toTarget, 1u);
    Dialog().OnAutoReloadClicked(true);
    EXPECT_TRUE(Shown().autoReload);
    Dialog().OnAutoReloadClicked(false);
    EXPECT_FALSE(Shown().autoReload);
}

TEST_F(WorkbenchTest, WriteProtectMakesTheHexEditorRefuseTyping) {
    Load(WriteFile("code.bin", std::string(4, '\x00')));
    Dialog().OnWriteProtectClicked(true);
    EXPECT_TRUE(Shown().writeProtect);
    EXPECT_FALSE(Type("A"));
    EXPECT_EQ(Image()[0], 0x00);
    Dialog().OnWriteProtectClicked(false);
    EXPECT_TRUE(Type("A"));
    EXPECT_EQ(Image()[0], 0xA0);
}

TEST_F(WorkbenchTest, AboutShowsTheCaptionText) {
    Dialog().OnAbout();
    EXPECT_EQ(view_.ranDialogs, std::vector<std::string>{"about"});
    EXPECT_EQ(view_.aboutTexts, std::vector<std::string>{Shown().caption});
}

}  // namespace
}  // namespace korvid::workbench
