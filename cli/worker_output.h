// What the workers of RunWorkers write, gathered as it comes: each worker's
// standard output kept whole, its standard error handed on line by line (LF or
// CR LF ends a line), the moment its output ended noted.
#pragma once

#include "worker_processes.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::cli {

enum class WorkerStream { Out, Err };

class WorkerOutputs {
public:
    using ErrorLine = std::function<void(std::size_t, const std::string&)>;

    // ends[i] receives worker i's output and the seconds from now until it ended.
    WorkerOutputs(std::vector<WorkerEnd>& ends, const ErrorLine& onErrorLine);

    void received(std::size_t worker, WorkerStream stream, std::string_view bytes);
    // The stream ended: a last unfinished error line is handed on.
    void closed(std::size_t worker, WorkerStream stream);

private:
    struct Open {
        bool out = true;
        bool err = true;
        std::string errLine;
    };
    std::vector<WorkerEnd>& ends_;
    const ErrorLine& onErrorLine_;
    std::vector<Open> open_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace korvid::cli
