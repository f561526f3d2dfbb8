// KORVID_Demo.exe as a user runs it, driven from this other Windows program by
// control ids only: started with the simulated HID programmer, it shows every
// control of its main dialog in Chinese; "Load" asks the area and then the file
// (a non-ASCII name); the status shows the file's size and checksum; "Update
// Target" ends with "更新成功 !"; the wire traffic of that job equals the Linux
// tool's for the same job; "Exit" leaves the selection in the registry.
#include "main_dialog_controls.h"
#include "resource_ids.h"
#include "wide_text.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace korvid::win32 {
namespace {

using ui_test::ScratchFolder;

constexpr const wchar_t* kCaption = L"Vostrel 8051 ISP(R5) 编程器 v7.10";
constexpr const wchar_t* kSettingsKey = L"Sortware\\Vostrel\\Vostrel 8051 ISP(R5) 编程器\\7.10";
constexpr const wchar_t* kAreaCaption = L"选择AP/IAP区域";
constexpr int kFileNameField = 0x47C;
constexpr DWORD kWaitMs = 30000;
// The kept trace of the Linux tool (resource of this program).
constexpr int kLinuxTraceResource = 1;

std::wstring Wide(const std::string& utf8) {
    return core::WideFromUtf8(utf8);
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT reaches into the other process; GetWindowText would not.
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ControlTextOf(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// Polls until found() gives a window or the wait is over.
HWND WaitForWindow(const std::function<HWND()>& found) {
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    for (;;) {
        if (const HWND window = found(); window != nullptr) {
            return window;
        }
        if (GetTickCount64() >= end) {
            return nullptr;
        }
        Sleep(50);
    }
}

bool WaitForText(HWND dialog, int id, const std::wstring& text) {
    return WaitForWindow([&]() -> HWND {
               return ControlTextOf(dialog, id) == text ? dialog : nullptr;
           }) != nullptr;
}

// A visible dialog window of process other than the ones given.
HWND DialogOfProcess(DWORD process, const std::vector<HWND>& besides) {
    struct Search {
        DWORD process;
        const std::vector<HWND>* besides;
        HWND found = nullptr;
    } search{process, &besides};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* search = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->process || !IsWindowVisible(window) ||
                ui_test::WindowClass(window) != "#32770" ||
                std::find(search->besides->begin(), search->besides->end(), window) !=
                    search->besides->end()) {
                return TRUE;
            }
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The non-empty static text of a message box.
std::wstring MessageText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ui_test::WindowClass(child) == "Static" && !WindowText(child).empty()) {
            text = WindowText(child);
        }
    }
    return text;
}

// A click as the button would send it, posted: the other process runs its
// command, with its modal dialogs, while this one goes on.
void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string LinuxTrace() {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kLinuxTraceResource), RT_RCDATA);
    const HGLOBAL loaded = LoadResource(nullptr, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

// The events of the trace's UpdateMCU, from its call to its return: the job as
// handed to the library and every report on the wire.
std::vector<std::string> UpdateMcuEvents(const std::string& trace) {
    std::vector<std::string> events;
    std::istringstream lines(trace);
    std::string line;
    bool inside = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        inside = inside || line.find("api - call name=UpdateMCU") != std::string::npos;
        if (inside) {
            events.push_back(line);
        }
        if (line.find("api - return name=UpdateMCU") != std::string::npos) {
            break;
        }
    }
    return events;
}

std::wstring DemoProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"KORVID_Demo.exe";
}

class DemoProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ui_test::PrepareWindows()) {
            GTEST_SKIP() << "no windows can be made here (wine needs a display)";
        }
        ui_test::DeleteRegistryKey(kSettingsKey);
    }
    void TearDown() override {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        ui_test::DeleteRegistryKey(kSettingsKey);
    }

    // Starts the program with the simulated HID programmer and its wire trace.
    void Start(const std::wstring& trace) {
        SetEnvironmentVariableW(L"KORVID_SIMULATE", L"hid");
        SetEnvironmentVariableW(L"KORVID_SIMULATE_CLOCK", L"virtual");
        SetEnvironmentVariableW(L"KORVID_TRACE", trace.c_str());
        SetEnvironmentVariableW(L"KORVID_LANG", nullptr);
        std::wstring commandLine = L"\"" + DemoProgram() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process_));
        for (const wchar_t* name : {L"KORVID_SIMULATE", L"KORVID_SIMULATE_CLOCK", L"KORVID_TRACE"}) {
            SetEnvironmentVariableW(name, nullptr);
        }
    }

    PROCESS_INFORMATION process_{};
};

TEST_F(DemoProcessTest, LoadUpdateTargetAndExitFromAnotherProgram) {
    const ScratchFolder folder(L"korvid-demo-process");
    const std::wstring hex = folder.Write(
        L"闪烁 blink.hex", ":1000000002010000000000000000000000000000ED\n:00000001FF\n");
    const std::wstring trace = folder.Path() + L"\\wire.trace";
    Start(trace);
    const HWND main = WaitForWindow([] { return FindWindowW(L"#32770", kCaption); });
    ASSERT_NE(main, nullptr) << "KORVID_Demo.exe showed no main dialog";

    // Every control of the template at its id, with its class and Chinese text;
    // the banner is a picture.
    EXPECT_EQ(ui_test::WindowClass(GetDlgItem(main, IDC_BANNER)), "Static");
    for (const ui_test::ExpectedControl& control : ui_test::MainDialogControlsAtStart()) {
        const HWND window = GetDlgItem(main, control.id);
        ASSERT_NE(window, nullptr) << control.id;
        EXPECT_EQ(ui_test::WindowClass(window), control.windowClass) << control.id;
        EXPECT_EQ(WindowText(window), Wide(control.text)) << control.id;
    }

    // Part A4 (fourth in Series A) with KEEP IAP-DATA.
    const HWND parts = GetDlgItem(main, IDC_PART);
    SendMessageW(parts, CB_SETCURSEL, 3, 0);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_PART, CBN_SELCHANGE), reinterpret_cast<LPARAM>(parts));
    ASSERT_EQ(WindowText(parts), L"Part A4");
    SendMessageW(GetDlgItem(main, 1013), BM_CLICK, 0, 0);

    // "Load": the area first, then the file.
    PostClick(main, IDC_LOAD);
    const HWND area = WaitForWindow([] { return FindWindowW(L"#32770", kAreaCaption); });
    ASSERT_NE(area, nullptr) << "no area dialog after Load";
    EXPECT_EQ(SendMessageW(GetDlgItem(area, IDC_CODE_AREA), BM_GETCHECK, 0, 0), BST_CHECKED);
    PostClick(area, IDOK);
    const HWND open = WaitForWindow([&] { return DialogOfProcess(process_.dwProcessId, {main, area}); });
    ASSERT_NE(open, nullptr) << "no file dialog after the area dialog";
    SendMessageW(GetDlgItem(open, kFileNameField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hex.c_str()));
    PostClick(open, IDOK);
    EXPECT_TRUE(WaitForText(main, IDC_STATUS_SIZE, L"大小:0x10"));
    EXPECT_EQ(ControlTextOf(main, IDC_STATUS_CHECKSUM), L"校验和:0x0003");
    EXPECT_EQ(ControlTextOf(main, IDC_STATUS_SOURCE), hex);

    // "Update Target": the simulated programmer takes the job.
    PostClick(main, IDC_UPDATE_TARGET);
    const HWND box = WaitForWindow([&] { return DialogOfProcess(process_.dwProcessId, {main}); });
    ASSERT_NE(box, nullptr) << "no message after Update Target";
    EXPECT_EQ(WindowText(box), L"Vostrel 8051 ISP(R5) 编程器");
    EXPECT_EQ(MessageText(box), L"更新成功 !");
    PostClick(box, IDOK);

    // "Exit": the program ends and leaves the selection behind.
    ASSERT_TRUE(WaitForWindow([&] { return DialogOfProcess(process_.dwProcessId, {main}) == nullptr ? main : nullptr; }));
    PostClick(main, IDCANCEL);
    ASSERT_EQ(WaitForSingleObject(process_.hProcess, kWaitMs), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process_.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(ui_test::RegistryNumber(kSettingsKey, L"Programmer"), 0);
    EXPECT_EQ(ui_test::RegistryNumber(kSettingsKey, L"Body"), 3);  // Part A4

    // The same job as the Linux tool's, byte for byte on the wire.
    const std::vector<std::string> windows = UpdateMcuEvents(ReadFile(trace));
    const std::vector<std::string> linux = UpdateMcuEvents(LinuxTrace());
    ASSERT_FALSE(linux.empty());
    EXPECT_EQ(windows, linux);
}

}  // namespace
}  // namespace korvid::win32
