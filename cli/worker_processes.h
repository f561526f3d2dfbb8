// Child processes run side by side: each one's standard output is collected, its
// standard error handed on line by line as it comes, its end awaited.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvid::cli {

struct WorkerEnd {
    int exitStatus = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;      // everything it wrote to stdout
    double seconds = 0;   // from the start until its output ended
};

// Starts every argv at once (argv[0] a path; stdin /dev/null, the environment
// inherited), calls onErrorLine(worker index, line) for each line a worker writes
// to stderr, and returns when all have ended, in the order of workers. A worker
// that cannot be started ends with status 127.
std::vector<WorkerEnd> RunWorkers(
    const std::vector<std::vector<std::string>>& workers,
    const std::function<void(std::size_t, const std::string&)>& onErrorLine);

}  // namespace korvid::cli
