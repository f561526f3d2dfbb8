// The main dialog of KORVID_Demo in this process, driven by messages to its
// control ids as a user's clicks, list selections and typing arrive, against a
// recording programmer and the registry of the current user.
#include "CHexEditBase.h"
#include "MainWindow.h"
#include "RegistrySettingsStore.h"
#include "TextTable.h"
#include "dialog_controls.h"
#include "holdable_programmer.h"
#include "main_dialog_controls.h"
#include "resource_ids.h"
#include "wide_text.h"
#include "window_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

namespace korvid::win32 {
namespace {

using namespace ::testing;
using korvid::win32::ui_test::ChooseFile;
using korvid::win32::ui_test::ClickNow;
using korvid::win32::ui_test::HoldableProgrammer;
using korvid::win32::ui_test::ModalScript;
using korvid::win32::ui_test::Press;
using korvid::win32::ui_test::ScratchFolder;
using korvid::win32::ui_test::SelectListItem;
using korvid::win32::ui_test::TypeText;
namespace text = korvid::workbench::TextTable;

constexpr const char* kBlinkHex =
    ":1000000002010000000000000000000000000000ED\n:00000001FF\n";

std::string Chinese(const core::TextPair& pair) {
    return pair.chinese;
}

class MainWindowTest : public Test {
protected:
    void SetUp() override {
        if (!ui_test::PrepareWindows()) {
            GTEST_SKIP() << "no windows can be made here (wine needs a display)";
        }
        catalogue_ = workbench::LibraryCatalogue();
        // A key of the test's own, so that no run sees another's selection.
        catalogue_.libraryName = "KORVID window test " + std::to_string(GetCurrentProcessId());
        key_ = RegistrySettingsStore::KeyPath(catalogue_.libraryName, catalogue_.version);
        ui_test::DeleteRegistryKey(key_);
        settings_ = std::make_unique<RegistrySettingsStore>(catalogue_.libraryName,
                                                            catalogue_.version);
    }

    void TearDown() override {
        window_.reset();
        ui_test::DeleteRegistryKey(key_);
    }

    HWND Open(std::optional<std::string> environmentLanguage = std::nullopt) {
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), operations_, *settings_,
                                               catalogue_, std::move(environmentLanguage));
        dialog_ = window_->Create();
        return dialog_;
    }

    std::string Text(int id) const { return ControlText(dialog_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }
    CHexEditBase& HexEdit() const {
        return *CHexEditBase::FromWindow(GetDlgItem(dialog_, IDC_HEX_EDIT));
    }
    std::vector<uint8_t> Image() const {
        std::vector<uint8_t> bytes(HexEdit().GetDataSize());
        HexEdit().GetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return bytes;
    }
    int CatalogueIndexOf(const char* name) const {
        for (std::size_t i = 0; i < catalogue_.isp.size(); ++i) {
            if (std::string_view(catalogue_.isp[i].name) == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // "Load" with the code area and file, through the area dialog and the
    // file-open dialog.
    void LoadCode(const std::wstring& file) {
        ModalScript script({dialog_});
        script.Then(Press(IDOK)).Then(ChooseFile(file));
        ClickNow(dialog_, IDC_LOAD);
        ASSERT_TRUE(script.Done());
    }

    workbench::Catalogue catalogue_;
    std::wstring key_;
    std::unique_ptr<RegistrySettingsStore> settings_;
    HoldableProgrammer operations_;
    std::unique_ptr<MainWindow> window_;
    HWND dialog_ = nullptr;
};

TEST_F(MainWindowTest, ShowsEveryControlOfTheTemplateWithItsClassAndChineseText) {
    ASSERT_NE(Open(), nullptr);
    // The banner's text is its picture's resource number.
    EXPECT_EQ(ui_test::WindowClass(GetDlgItem(dialog_, IDC_BANNER)), "Static");
    EXPECT_NE(SendDlgItemMessageW(dialog_, IDC_BANNER, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    for (const ui_test::ExpectedControl& control : ui_test::MainDialogControlsAtStart()) {
        const HWND window = GetDlgItem(dialog_, control.id);
        ASSERT_NE(window, nullptr) << control.id;
        EXPECT_EQ(ui_test::WindowClass(window), control.windowClass) << control.id;
        EXPECT_EQ(TextOf(window), control.text) << control.id;
    }
    EXPECT_EQ(TextOf(dialog_), catalogue_.libraryName + " v7.10");
    EXPECT_TRUE(IsDlgButtonChecked(dialog_, IDC_ISP));
    EXPECT_FALSE(Enabled(IDC_ICP));  // the ICP catalogue is empty
    EXPECT_THAT(ListItems(dialog_, IDC_SERIES),
                ElementsAre("Series A", "Series B", "Series C", "Series D", "Series E",
                            "Series F", "Series G"));
    // Unused option boxes keep their place and show nothing.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog_, 1014)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, 1015)));
    EXPECT_TRUE(Enabled(IDC_LOAD));
    EXPECT_TRUE(Enabled(IDC_DUMP));
    EXPECT_FALSE(Enabled(IDC_SAVE_KPJ));
    EXPECT_FALSE(Enabled(IDC_UPDATE_TARGET));
    EXPECT_FALSE(Enabled(IDC_UPDATE_PROGRAMMER));
    EXPECT_FALSE(Enabled(IDC_HWWIDL));
    EXPECT_FALSE(Enabled(1032));
    EXPECT_TRUE(IsDlgButtonChecked(dialog_, 1032));
}

TEST_F(MainWindowTest, PartListAndOptionsFollowTheSelection) {
    ASSERT_NE(Open(), nullptr);
    SelectListItem(dialog_, IDC_SERIES, 1);
    const std::vector<std::string> parts = ListItems(dialog_, IDC_PART);
    ASSERT_EQ(parts.size(), 18u);
    EXPECT_EQ(parts.front(), "Part B1");
    EXPECT_EQ(window_->Model().Job().partIndex, CatalogueIndexOf("Part B1"));

    // Part B4: five options, the last of them HWENW; the part has no hardware
    // settings, so the HWWIDL and HWPS fields stay disabled.
    const auto b4 = std::find(parts.begin(), parts.end(), "Part B4") - parts.begin();
    SelectListItem(dialog_, IDC_PART, static_cast<int>(b4));
    EXPECT_EQ(window_->Model().Job().partIndex, CatalogueIndexOf("Part B4"));
    EXPECT_EQ(Text(1014), "上电启动看门狗");
    ClickNow(dialog_, 1014);
    EXPECT_EQ(window_->Model().Job().optionStates[0], 1u << 4);
    EXPECT_TRUE(IsDlgButtonChecked(dialog_, 1014));
    EXPECT_FALSE(Enabled(IDC_HWWIDL));
    EXPECT_FALSE(Enabled(IDC_HWPS));
    ClickNow(dialog_, 1010);
    EXPECT_EQ(window_->Model().Job().optionStates[0], (1u << 4) | 1u);
    ClickNow(dialog_, 1014);
    EXPECT_EQ(window_->Model().Job().optionStates[0], 1u);
}

TEST_F(MainWindowTest, MemoryListTipsFollowThePart) {
    ASSERT_NE(Open(), nullptr);
    // Part A1: no ISP memory choice, the IAP list from 0.0 k up.
    TTTOOLINFOW tool{};
    wchar_t tip[80] = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog_;
    tool.uId = IDC_IAP_MEMORY;
    tool.lpszText = tip;
    HWND tips = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (ui_test::WindowClass(window) == "tooltips_class32") {
                *reinterpret_cast<HWND*>(found) = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    SendMessageW(tips, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(core::Utf8FromWide(tip), "NA");
    SelectListItem(dialog_, IDC_IAP_MEMORY, 1);
    SendMessageW(tips, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(core::Utf8FromWide(tip), "3600h - 37FFh");
}

TEST_F(MainWindowTest, LoadAsksTheAreaThenTheFileAndShowsSizeAndChecksum) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-load");
    const std::wstring file = folder.Write(L"闪烁 blink.hex", kBlinkHex);
    ModalScript script({dialog_});
    std::string areaAddress;
    script
        .Then([&](HWND area) {
            areaAddress = ControlText(area, IDC_ADDRESS);
            ui_test::Click(area, IDOK);
        })
        .Then(ChooseFile(file));
    ClickNow(dialog_, IDC_LOAD);
    ASSERT_TRUE(script.Done());
    EXPECT_THAT(script.Seen(), ElementsAre(Chinese(text::selectArea), _));
    EXPECT_EQ(areaAddress, "1000");  // Part A1's data area

    EXPECT_EQ(Text(IDC_STATUS_SOURCE), core::Utf8FromWide(file));
    EXPECT_EQ(Text(IDC_STATUS_SIZE), "大小:0x10");
    EXPECT_EQ(Text(IDC_STATUS_CHECKSUM), "校验和:0x0003");
    EXPECT_EQ(Image(), std::vector<uint8_t>({0x02, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(Enabled(IDC_UPDATE_TARGET));
    EXPECT_TRUE(Enabled(IDC_UPDATE_PROGRAMMER));
    EXPECT_TRUE(Enabled(IDC_SAVE_KPJ));
}

TEST_F(MainWindowTest, DataAreaTakesOnlyHexDigitsInUpperCase) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-area");
    const std::wstring file = folder.Write(L"data.bin", std::string("\x11\x22\x33\x44", 4));
    ModalScript script({dialog_});
    std::string typed;
    bool fieldEnabledForCode = true;
    script
        .Then([&](HWND area) {
            fieldEnabledForCode = IsWindowEnabled(GetDlgItem(area, IDC_ADDRESS)) != FALSE;
            ClickNow(area, IDC_DATA_AREA);
            const HWND field = GetDlgItem(area, IDC_ADDRESS);
            SetWindowTextW(field, L"");
            ui_test::TypeCharacters(field, L"1g2a");
            typed = ControlText(area, IDC_ADDRESS);
            ui_test::Click(area, IDOK);
        })
        .Then(ChooseFile(file));
    ClickNow(dialog_, IDC_LOAD);
    ASSERT_TRUE(script.Done());
    EXPECT_FALSE(fieldEnabledForCode);
    EXPECT_EQ(typed, "12A");
    EXPECT_EQ(window_->Model().InsertAddress(), 0x12Au);
    std::vector<uint8_t> expected(0x12A, 0xFF);
    expected.insert(expected.end(), {0x11, 0x22, 0x33, 0x44});
    EXPECT_EQ(Image(), expected);
}

TEST_F(MainWindowTest, UpdateTargetHandsTheJobToTheProgrammerAndSaysSuccessWithoutIcon) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-update");
    LoadCode(folder.Write(L"blink.hex", kBlinkHex));
    ClickNow(dialog_, 1013);  // KEEP IAP-DATA

    ModalScript script({dialog_});
    std::string said;
    bool icon = true;
    script.Then([&](HWND box) {
        said = ui_test::MessageBoxText(box);
        icon = ui_test::MessageBoxHasIcon(box);
        ui_test::Click(box, IDOK);
    });
    ClickNow(dialog_, IDC_UPDATE_TARGET);
    ASSERT_TRUE(script.Done());
    EXPECT_THAT(script.Seen(), ElementsAre(catalogue_.libraryName));
    EXPECT_EQ(said, "更新成功 !");
    EXPECT_FALSE(icon);

    const auto updates = operations_.CallsOf("UpdateMCU");
    ASSERT_EQ(updates.size(), 1u);
    const auto& update = updates[0];
    EXPECT_EQ(update.toTarget, 1u);
    EXPECT_EQ(update.icpMode, 0u);
    EXPECT_EQ(update.job.partIndex, CatalogueIndexOf("Part A1"));
    EXPECT_EQ(update.job.optionStates[0], 1u << 3);
    EXPECT_EQ(update.job.maxCount, 0xFFFFu);
    EXPECT_EQ(update.job.hwOptions & 0xF, 0xFu);  // HWWIDL 1, HWPS 7
    EXPECT_EQ(update.code, Image());
    EXPECT_STREQ(update.job.codeName, "blink.hex");
    EXPECT_TRUE(Enabled(IDC_UPDATE_TARGET));
}

TEST_F(MainWindowTest, UpdateProgrammerTakesTheCountAndSerialNumberFromMaxCount) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-store");
    LoadCode(folder.Write(L"blink.hex", kBlinkHex));

    ModalScript script({dialog_});
    std::string clampedCount, startAddress, endAddress;
    bool serialFieldsEnabledBefore = true;
    script
        .Then([&](HWND maxCount) {
            serialFieldsEnabledBefore = IsWindowEnabled(GetDlgItem(maxCount, IDC_SERIAL_TEXT)) != FALSE;
            TypeText(maxCount, IDC_MAX_COUNT, L"65531");
            clampedCount = ControlText(maxCount, IDC_MAX_COUNT);
            ClickNow(maxCount, IDC_ENABLE_SERIAL);
            TypeText(maxCount, IDC_SERIAL_TEXT, L"LINE-3");
            TypeText(maxCount, IDC_SERIAL_NUMBER, L"1000");
            ClickNow(maxCount, IDC_AUTO_INCREMENT);
            TypeText(maxCount, IDC_START_ADDRESS, L"FFFF");  // beyond the flash: held back
            startAddress = ControlText(maxCount, IDC_START_ADDRESS);
            endAddress = ControlText(maxCount, IDC_END_ADDRESS);
            ui_test::Click(maxCount, IDOK);
        })
        .Then(Press(IDOK));
    ClickNow(dialog_, IDC_UPDATE_PROGRAMMER);
    ASSERT_TRUE(script.Done());
    EXPECT_THAT(script.Seen(), ElementsAre(Chinese(text::setMaxCountTitle), catalogue_.libraryName));
    EXPECT_FALSE(serialFieldsEnabledBefore);
    EXPECT_EQ(clampedCount, "65530");
    EXPECT_EQ(startAddress, "000037F0");  // Part A1: 0x3800 bytes of flash
    EXPECT_EQ(endAddress, "0x000037FF");

    const auto updates = operations_.CallsOf("UpdateMCU");
    ASSERT_EQ(updates.size(), 1u);
    const JobRecord& job = updates[0].job;
    EXPECT_EQ(updates[0].toTarget, 0u);
    EXPECT_EQ(job.maxCount, 65530u);
    EXPECT_EQ(job.serialFlags, 3u);
    EXPECT_EQ(std::string(job.serialText, sizeof job.serialText), "LINE-3      ");
    EXPECT_EQ(job.serialNumber, 0x1000u);
    EXPECT_EQ(job.serialAddress, 0x37F0u);
}

TEST_F(MainWindowTest, MaxCountLeftWithExitCallsNothing) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-exit-max");
    LoadCode(folder.Write(L"blink.hex", kBlinkHex));
    ModalScript script({dialog_});
    script.Then(Press(IDCANCEL));
    ClickNow(dialog_, IDC_UPDATE_PROGRAMMER);
    ASSERT_TRUE(script.Done());
    EXPECT_TRUE(operations_.CallsOf("UpdateMCU").empty());
    EXPECT_TRUE(Enabled(IDC_UPDATE_PROGRAMMER));
}

// While the worker runs, the progress dialog shows the bar and refuses to close.
struct ProgressWatch {
    HoldableProgrammer* operations = nullptr;
    HWND dialog = nullptr;
    bool stayedAfterCancel = false;
    LRESULT barPosition = 0;
    LRESULT barRange = 0;
};
ProgressWatch progressWatch;

void CALLBACK LookAtProgressThenReleaseTheWorker(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ProgressWatch& watch = progressWatch;
    watch.stayedAfterCancel = IsWindow(watch.dialog) != FALSE;
    const HWND bar = GetDlgItem(watch.dialog, IDC_REFLASH_BAR);
    watch.barPosition = SendMessageW(bar, PBM_GETPOS, 0, 0);
    watch.barRange = SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
    watch.operations->ReleaseFirmwareUpdate();
}

TEST_F(MainWindowTest, FirmwareMismatchReflashesBehindAProgressDialogThatWaitsForTheWorker) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-reflash");
    LoadCode(folder.Write(L"blink.hex", kBlinkHex));
    operations_.updateResults = {RC_FIRMWARE_MISMATCH, RC_OK};
    operations_.HoldFirmwareUpdate();
    progressWatch = {&operations_};

    ModalScript script({dialog_});
    std::string question;
    bool questionIcon = false;
    script
        .Then([&](HWND box) {
            question = ui_test::MessageBoxText(box);
            questionIcon = ui_test::MessageBoxHasIcon(box);
            ui_test::Click(box, IDYES);
        })
        .Then([&](HWND dialog) {
            progressWatch.dialog = dialog;
            // Escape and the close box: refused while the worker runs.
            ui_test::Click(dialog, IDCANCEL);
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            SetTimer(nullptr, 0, 300, LookAtProgressThenReleaseTheWorker);
        })
        .Then(Press(IDOK));
    ClickNow(dialog_, IDC_UPDATE_TARGET);
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(question, Chinese(text::unmatchedFirmware));
    EXPECT_TRUE(questionIcon);
    EXPECT_TRUE(progressWatch.stayedAfterCancel);
    EXPECT_EQ(progressWatch.barPosition, 1024);
    EXPECT_EQ(progressWatch.barRange, 4096);
    EXPECT_FALSE(IsWindow(progressWatch.dialog));
    EXPECT_EQ(operations_.CallsOf("UpdateFW").size(), 1u);
    EXPECT_EQ(operations_.CallsOf("UpdateMCU").size(), 2u);
}

TEST_F(MainWindowTest, DumpFillsTheBufferAndLeavesNothingToProgram) {
    ASSERT_NE(Open(), nullptr);
    ClickNow(dialog_, IDC_DUMP);
    EXPECT_EQ(operations_.CallsOf("DumpMCUInfo").size(), 1u);
    EXPECT_EQ(Image(), std::vector<uint8_t>(256, 0x5A));
    EXPECT_EQ(Text(IDC_STATUS_SOURCE), Chinese(text::dumpInformationOk));
    EXPECT_EQ(Text(IDC_STATUS_SIZE), "");
    EXPECT_FALSE(Enabled(IDC_UPDATE_TARGET));
    EXPECT_TRUE(Enabled(IDC_DUMP));
}

TEST_F(MainWindowTest, TypingInTheHexEditorEditsTheImageUnlessWriteProtected) {
    ASSERT_NE(Open(), nullptr);
    const ScratchFolder folder(L"korvid-edit");
    const std::wstring file = folder.Write(L"blink.hex", kBlinkHex);
    LoadCode(file);
    const HWND hex = GetDlgItem(dialog_, IDC_HEX_EDIT);
    SetFocus(hex);

    ClickNow(dialog_, IDC_WRITE_PROTECT);
    EXPECT_TRUE(HexEdit().Core().IsReadOnly());
    ui_test::TypeCharacters(hex, L"41");
    EXPECT_EQ(Image()[0], 0x02);

    ClickNow(dialog_, IDC_WRITE_PROTECT);
    ui_test::TypeCharacters(hex, L"41");
    EXPECT_EQ(Image()[0], 0x41);
    // The hex editor told the dialog: the source is marked edited, the
    // checksum follows.
    EXPECT_EQ(Text(IDC_STATUS_SOURCE), core::Utf8FromWide(file) + " *");
    EXPECT_EQ(Text(IDC_STATUS_CHECKSUM), "校验和:0x0042");
}

TEST_F(MainWindowTest, ExitStoresTheSelectionInTheRegistry) {
    ASSERT_NE(Open(), nullptr);
    SelectListItem(dialog_, IDC_SERIES, 1);
    SelectListItem(dialog_, IDC_PART, 2);  // Part B3
    ClickNow(dialog_, IDCANCEL);
    EXPECT_TRUE(window_->Ended());
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Programmer"), 0);
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Body"), CatalogueIndexOf("Part B3"));
}

TEST_F(MainWindowTest, CloseBoxStoresTheSelectionAndEnterEndsNothing) {
    ASSERT_NE(Open(), nullptr);
    SelectListItem(dialog_, IDC_SERIES, 2);
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
    ui_test::PumpWaiting();
    EXPECT_FALSE(window_->Ended());
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Body"), -1);
    SendMessageW(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ui_test::PumpUntil([&] { return window_->Ended(); }));
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Body"), CatalogueIndexOf("Part C1"));
}

TEST_F(MainWindowTest, RestoresTheRememberedPart) {
    settings_->WriteSelection(0, CatalogueIndexOf("Part F2"));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(IDC_SERIES), "Series F");
    EXPECT_EQ(Text(IDC_PART), "Part F2");
    EXPECT_EQ(window_->Model().Job().partIndex, CatalogueIndexOf("Part F2"));
}

TEST_F(MainWindowTest, AboutFromTheSystemMenuShowsTheVersion) {
    ASSERT_NE(Open(), nullptr);
    const HMENU menu = GetSystemMenu(dialog_, FALSE);
    const int last = GetMenuItemCount(menu) - 1;
    wchar_t item[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(last), item, 64, MF_BYPOSITION);
    EXPECT_EQ(core::Utf8FromWide(item), "About(&A)...");
    EXPECT_EQ(GetMenuItemID(menu, last), static_cast<UINT>(IDM_ABOUT));

    ModalScript script({dialog_});
    std::string version, ok;
    script.Then([&](HWND about) {
        version = ControlText(about, IDC_ABOUT_TEXT);
        ok = ControlText(about, IDOK);
        ui_test::Click(about, IDOK);
    });
    SendMessageW(dialog_, WM_SYSCOMMAND, IDM_ABOUT, 0);
    ASSERT_TRUE(script.Done());
    EXPECT_THAT(script.Seen(), ElementsAre("About"));
    EXPECT_EQ(version, catalogue_.libraryName + " v7.10");
    EXPECT_EQ(ok, "確定");
}

// The window's menu offers the two languages; a choice shows at once and is
// remembered, and KORVID_LANG overrides what is remembered.
TEST_F(MainWindowTest, EnglishFromTheContextMenuShowsAtOnceAndIsRemembered) {
    ASSERT_NE(Open(), nullptr);
    // In the menu: About, a separator, 中文, English. Three steps down reach English.
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu == nullptr) {
            return;
        }
        KillTimer(nullptr, timer);
        for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageW(menu, WM_KEYDOWN, key, 0);
        }
    });
    RECT area;
    GetWindowRect(dialog_, &area);
    SendMessageW(dialog_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog_),
                 MAKELPARAM(area.left + 20, area.top + 80));
    EXPECT_EQ(Text(IDC_LOAD), "Load");
    EXPECT_EQ(Text(IDC_UPDATE_PROGRAMMER), "Update Programmer");
    EXPECT_EQ(Text(1010), "FZWDTCR");
    EXPECT_EQ(settings_->ReadLanguage(), "en");

    window_.reset();
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(IDC_LOAD), "Load");
    window_.reset();
    ASSERT_NE(Open("zh"), nullptr);
    EXPECT_EQ(Text(IDC_LOAD), Chinese(text::load));
}

}  // namespace
}  // namespace korvid::win32
