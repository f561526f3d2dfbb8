#include "interrupt_flag.h"

#include <windows.h>

#include <atomic>

namespace korvid::cli {
namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own that Windows starts for the console event. Ctrl+C
// and Ctrl+Break only set the flag; closing the console, logging off and shutting
// down still end the process.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        interrupted = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted = false;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptFlag::~InterruptFlag() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

bool InterruptFlag::Interrupted() {
    return interrupted;
}

}  // namespace korvid::cli
