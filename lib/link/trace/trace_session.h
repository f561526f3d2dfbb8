// The wire trace of the process: at most one runs at a time. It is started by
// KorvidStartTrace, or by the environment variable KORVID_TRACE=FILE, which is read
// at the first use of the platform (or of any function below).
#pragma once

#include <memory>
#include <string>

#include "link/trace/trace_event.h"
#include "link/trace/trace_file.h"

namespace korvid::trace {

// The file of one trace. Links opened while it ran keep a reference, so a trace
// stopped while a device is open leaves them forwarding without recording.
class TraceRecorder {
public:
    explicit TraceRecorder(std::unique_ptr<TraceFile> file) : file_(std::move(file)) {}

    bool running() const { return file_ != nullptr; }
    // Writes the event as one line; nothing once stopped. Never throws.
    void record(const TraceEvent& event) noexcept;
    void stop() { file_.reset(); }

private:
    std::unique_ptr<TraceFile> file_;
};

// Starts a trace appended to `path`, replacing the running one. False, with the
// running trace (if any) left as it was, when the file cannot be opened.
bool StartTrace(const std::string& path);
// Stops the running trace; harmless when none runs.
void StopTrace();
// The running trace, or nullptr.
std::shared_ptr<TraceRecorder> RunningTrace() noexcept;

}  // namespace korvid::trace
