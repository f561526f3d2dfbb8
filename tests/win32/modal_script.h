// Answers the modal windows that a step of a test opens, as a user would: each
// dialog window (class "#32770": the smaller dialogs, message boxes, file
// dialogs) that appears on this thread is handed, in order, to the next action
// of the script. A thread timer looks for them, and the modal loops of dialogs,
// message boxes and file dialogs all dispatch it.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>

namespace korvid::win32::ui_test {

class ModalScript {
public:
    using Action = std::function<void(HWND dialog)>;

    // Dialogs already open (the main dialog) are never handed to an action.
    explicit ModalScript(std::set<HWND> known = {});
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The action for the next dialog that appears.
    ModalScript& Then(Action action);
    bool Done() const { return actions_.empty(); }
    // The captions of the dialogs handed over so far, in order.
    const std::vector<std::string>& Seen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    std::set<HWND> known_;
    std::deque<Action> actions_;
    std::vector<std::string> seen_;
    UINT_PTR timer_;
};

// Posts a click of the button id to dialog.
void Click(HWND dialog, int id);
// The text of a message box (its static text), UTF-8.
std::string MessageBoxText(HWND box);
// Whether the message box shows an icon.
bool MessageBoxHasIcon(HWND box);
// Runs the messages of this thread until done() is true or timeoutMs passed;
// returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
// Runs the messages that are waiting.
void PumpWaiting();

}  // namespace korvid::win32::ui_test
