#include "child_process.h"

#if defined(_WIN32)
#include <windows.h>

#include "windows_text.h"
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace korvid::cli::test {

#if defined(_WIN32)

// What a process ended by Ctrl+C from its console ends with.
const int kKilledStatus = static_cast<int>(0xC000013A);

void EndAsKilled() {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(kKilledStatus));
    ExitProcess(static_cast<UINT>(kKilledStatus));
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    std::vector<std::wstring> wide;
    for (const std::string& arg : argv) {
        wide.push_back(WideFromAnsi(arg));
    }
    std::wstring line = CommandLine(wide);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(wide[0].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }
}

ChildProcess::~ChildProcess() {
    if (process_ != nullptr) {
        if (!ended_) {
            Kill();
            Wait();
        }
        CloseHandle(process_);
    }
}

void ChildProcess::Kill() {
    TerminateProcess(process_, static_cast<UINT>(kKilledStatus));
}

int ChildProcess::Wait() {
    if (process_ == nullptr) {
        return 127;
    }
    WaitForSingleObject(process_, INFINITE);
    ended_ = true;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

#else

const int kKilledStatus = 128 + SIGKILL;

void EndAsKilled() {
    ::raise(SIGKILL);
    ::_exit(kKilledStatus);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    if (::posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        pid_ = -1;
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        Kill();
        Wait();
    }
}

void ChildProcess::Kill() {
    ::kill(pid_, SIGKILL);
}

int ChildProcess::Wait() {
    if (pid_ < 0) {
        return 127;
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

#endif

}  // namespace korvid::cli::test
