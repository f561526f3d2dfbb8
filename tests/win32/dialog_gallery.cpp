// Shows one of KORVID_Demo's dialogs as a user meets it, for a screenshot (not a
// test): win32_dialog_gallery DIALOG LANGUAGE, with DIALOG one of main, area,
// maxcount, progress, about, message, badhex (the refusal of a damaged Intel HEX
// file) and LANGUAGE zh or en. The main dialog has a
// part chosen and code loaded; every other dialog stands over it. Once the dialog
// is up, the file DIALOG-LANGUAGE.ready appears in the working folder, and the
// program ends by itself a few seconds later.
#include "MainWindow.h"
#include "RegistrySettingsStore.h"
#include "holdable_programmer.h"
#include "resource_ids.h"
#include "window_test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using korvid::win32::ui_test::ChooseFile;
using korvid::win32::ui_test::HoldableProgrammer;
using korvid::win32::ui_test::ModalScript;
using korvid::win32::ui_test::Press;

constexpr UINT kLingerMs = 3000;
std::string readyFile;

void CALLBACK EndGallery(HWND, UINT, UINT_PTR, DWORD) {
    ExitProcess(0);
}

// The dialog is up: say so, and end a little later.
void Ready(HWND) {
    if (FILE* marker = std::fopen(readyFile.c_str(), "w"); marker != nullptr) {
        std::fclose(marker);
    }
    SetTimer(nullptr, 0, kLingerMs, EndGallery);
}

std::string CodeImage() {
    std::string bytes;
    for (int i = 0; i < 0x150; ++i) {
        bytes += static_cast<char>(i * 7 + 2);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || !korvid::win32::ui_test::PrepareWindows()) {
        std::fprintf(stderr, "usage: win32_dialog_gallery "
                             "main|area|maxcount|progress|about|message|badhex zh|en\n");
        return 2;
    }
    const std::string dialog = argv[1];
    readyFile = dialog + "-" + argv[2] + ".ready";
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    korvid::workbench::Catalogue catalogue = korvid::workbench::LibraryCatalogue();
    korvid::win32::RegistrySettingsStore settings("KORVID gallery", catalogue.version);
    settings.WriteSelection(0, 3);  // Part A4
    HoldableProgrammer operations;
    korvid::win32::MainWindow window(instance, operations, settings, catalogue, argv[2]);
    const HWND main = window.Create();
    if (main == nullptr) {
        return 1;
    }
    const korvid::win32::ui_test::ScratchFolder folder(L"korvid-gallery");
    {
        ModalScript load({main});
        load.Then(Press(IDOK)).Then(ChooseFile(folder.Write(L"闪烁 blink.bin", CodeImage())));
        SendMessageW(GetDlgItem(main, IDC_LOAD), BM_CLICK, 0, 0);
    }
    SendMessageW(GetDlgItem(main, 1013), BM_CLICK, 0, 0);

    ModalScript script({main});
    int command = 0;
    if (dialog == "main") {
        SetFocus(GetDlgItem(main, IDC_HEX_EDIT));
        SendMessageW(GetDlgItem(main, IDC_HEX_EDIT), WM_KEYDOWN, VK_DOWN, 0);
        Ready(main);
    } else if (dialog == "area") {
        command = IDC_LOAD;
        script.Then(Ready);
    } else if (dialog == "maxcount") {
        command = IDC_UPDATE_PROGRAMMER;
        script.Then([](HWND maxCount) {
            SendMessageW(GetDlgItem(maxCount, IDC_ENABLE_SERIAL), BM_CLICK, 0, 0);
            SetDlgItemTextW(maxCount, IDC_MAX_COUNT, L"500");
            SetDlgItemTextW(maxCount, IDC_SERIAL_TEXT, L"LINE-3");
            Ready(maxCount);
        });
    } else if (dialog == "progress") {
        command = IDC_UPDATE_TARGET;
        operations.updateResults = {RC_FIRMWARE_MISMATCH};
        operations.HoldFirmwareUpdate();
        // Ready once the blinking notice is on (every second round, for 500 ms).
        script.Then(Press(IDYES)).Then([](HWND progress) {
            SetTimer(progress, 0, 20, [](HWND window, UINT, UINT_PTR timer, DWORD) {
                wchar_t notice[8] = {};
                GetDlgItemTextW(window, IDC_NOTICE, notice, 8);
                if (notice[0] != L'\0' && notice[0] != L' ') {
                    KillTimer(window, timer);
                    Ready(window);
                }
            });
        });
    } else if (dialog == "about") {
        PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUT, 0);
        script.Then(Ready);
    } else if (dialog == "message") {
        command = IDC_UPDATE_TARGET;
        operations.updateResults = {RC_NO_DEVICE};
        script.Then(Ready);
    } else if (dialog == "badhex") {
        // The second of three records has a wrong checksum.
        command = IDC_LOAD;
        script.Then(Press(IDOK))
            .Then(ChooseFile(folder.Write(L"firmware.hex",
                                          ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                                          ":10001000101112131415161718191A1B1C1D1E1F00\r\n"
                                          ":10002000202122232425262728292A2B2C2D2E2F58\r\n"
                                          ":00000001FF\r\n")))
            .Then(Ready);
    } else {
        return 2;
    }
    if (command != 0) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, command)));
    }
    window.Run();
    return 0;
}
