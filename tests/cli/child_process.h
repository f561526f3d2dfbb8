// Programs that the production tests start as commands would be started, and end
// at the moment they choose.
#pragma once

#include <string>
#include <vector>

namespace korvid::cli::test {

// The exit status that RunWorkers and ChildProcess report for a program killed by
// force: 128 + SIGKILL, or on Windows the code TerminateProcess was given.
extern const int kKilledStatus;

// Ends the calling process as if it were killed by force.
[[noreturn]] void EndAsKilled();

class ChildProcess {
public:
    // Starts argv (argv[0] a path) with stdin, stdout and stderr inherited.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();  // kills a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Kill();  // ends it at once, wherever it is
    int Wait();   // its exit status, once it has ended

private:
#if defined(_WIN32)
    void* process_ = nullptr;  // HANDLE
#else
    int pid_ = -1;
#endif
    bool ended_ = false;
};

}  // namespace korvid::cli::test
