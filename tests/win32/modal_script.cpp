#include "modal_script.h"

#include "dialog_controls.h"

#include <vector>

namespace korvid::win32::ui_test {
namespace {

constexpr UINT kLookIntervalMs = 20;
ModalScript* active = nullptr;

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring_view(name) == L"#32770";
}

// The thread's visible dialog windows that take input, in creation order.
std::vector<HWND> OpenDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsDialogWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window)) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

ModalScript::ModalScript(std::set<HWND> known)
    : known_(std::move(known)), timer_(SetTimer(nullptr, 0, kLookIntervalMs, Tick)) {
    active = this;
}

ModalScript::~ModalScript() {
    KillTimer(nullptr, timer_);
    active = nullptr;
}

ModalScript& ModalScript::Then(Action action) {
    actions_.push_back(std::move(action));
    return *this;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active != nullptr) {
        active->Look();
    }
}

void ModalScript::Look() {
    for (const HWND dialog : OpenDialogs()) {
        if (actions_.empty()) {
            return;
        }
        if (!known_.insert(dialog).second) {
            continue;
        }
        seen_.push_back(TextOf(dialog));
        Action action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);
    }
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

struct BoxParts {
    std::string text;
    bool icon = false;
};

BoxParts PartsOf(HWND box) {
    BoxParts parts;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            if (std::wstring_view(name) != L"Static") {
                return TRUE;
            }
            auto* parts = reinterpret_cast<BoxParts*>(found);
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                parts->icon = parts->icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
            } else if (const std::string text = TextOf(child); !text.empty()) {
                parts->text = text;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&parts));
    return parts;
}

}  // namespace

std::string MessageBoxText(HWND box) {
    return PartsOf(box).text;
}

bool MessageBoxHasIcon(HWND box) {
    return PartsOf(box).icon;
}

void PumpWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        PumpWaiting();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace korvid::win32::ui_test
