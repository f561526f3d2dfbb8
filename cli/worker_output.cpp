#include "worker_output.h"

namespace korvid::cli {

WorkerOutputs::WorkerOutputs(std::vector<WorkerEnd>& ends, const ErrorLine& onErrorLine)
    : ends_(ends),
      onErrorLine_(onErrorLine),
      open_(ends.size()),
      start_(std::chrono::steady_clock::now()) {}

void WorkerOutputs::received(std::size_t worker, WorkerStream stream, std::string_view bytes) {
    if (stream == WorkerStream::Out) {
        ends_[worker].out.append(bytes);
        return;
    }
    std::string& line = open_[worker].errLine;
    line.append(bytes);
    for (std::size_t newline; (newline = line.find('\n')) != std::string::npos;) {
        // A worker's line may end with CR LF (a Windows program's text output).
        const std::size_t end = newline > 0 && line[newline - 1] == '\r' ? newline - 1 : newline;
        onErrorLine_(worker, line.substr(0, end));
        line.erase(0, newline + 1);
    }
}

void WorkerOutputs::closed(std::size_t worker, WorkerStream stream) {
    Open& open = open_[worker];
    (stream == WorkerStream::Out ? open.out : open.err) = false;
    if (stream == WorkerStream::Err && !open.errLine.empty()) {
        onErrorLine_(worker, open.errLine);
        open.errLine.clear();
    }
    if (!open.out && !open.err) {
        ends_[worker].seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
}

}  // namespace korvid::cli
