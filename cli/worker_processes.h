// Child processes run side by side: each one's standard output is collected, its
// standard error handed on line by line as it comes, its end awaited.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvid::cli {

struct WorkerEnd {
    // The exit status, or 128 + the signal that ended it; on Windows the process's
    // exit code (an NTSTATUS such as 0xC0000005 for a crash).
    int exitStatus = -1;
    std::string out;     // everything it wrote to stdout
    double seconds = 0;  // from the start until its output ended
};

// The path that starts this program again ("/proc/self/exe"; on Windows the
// program file's path in the ANSI code page).
std::string SelfExecutable();

// Starts every argv at once (argv[0] a path; stdin /dev/null or NUL, the
// environment inherited), calls onErrorLine(worker index, line) for each line a
// worker writes to stderr, and returns when all have ended, in the order of
// workers. A worker that cannot be started ends with status 127.
std::vector<WorkerEnd> RunWorkers(
    const std::vector<std::vector<std::string>>& workers,
    const std::function<void(std::size_t, const std::string&)>& onErrorLine);

}  // namespace korvid::cli
