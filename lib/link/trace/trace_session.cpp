#include "link/trace/trace_session.h"

#include <cstdlib>

namespace korvid::trace {
namespace {

// Opens every trace, so appended traces can be told apart.
constexpr std::string_view kTraceHeader =
    "# korvid wire trace, format 1: <time-us> <link> <direction> <kind> [fields]";

struct Session {
    std::shared_ptr<TraceRecorder> running;
};

std::shared_ptr<TraceRecorder> startRecorder(const std::string& path) {
    std::unique_ptr<TraceFile> file = TraceFile::OpenForAppending(path);
    if (!file) {
        return nullptr;
    }
    file->writeLine(kTraceHeader);
    return std::make_shared<TraceRecorder>(std::move(file));
}

// The one session; on first use it starts the trace that KORVID_TRACE names. A file
// that cannot be opened leaves the process without a trace: the library has no one
// to tell.
Session& session() {
    static Session theSession = [] {
        Session s;
        if (const char* path = std::getenv("KORVID_TRACE"); path != nullptr && *path != '\0') {
            s.running = startRecorder(path);
        }
        return s;
    }();
    return theSession;
}

}  // namespace

void TraceRecorder::record(const TraceEvent& event) noexcept {
    if (!file_) {
        return;
    }
    try {
        file_->writeLine(FormatTraceLine(event));
    } catch (...) {
        // Out of memory while formatting: the line is lost, the operation goes on.
    }
}

bool StartTrace(const std::string& path) {
    std::shared_ptr<TraceRecorder> recorder = startRecorder(path);
    if (!recorder) {
        return false;
    }
    StopTrace();
    session().running = std::move(recorder);
    return true;
}

void StopTrace() {
    Session& s = session();
    if (s.running) {
        s.running->stop();
        s.running.reset();
    }
}

std::shared_ptr<TraceRecorder> RunningTrace() noexcept {
    try {
        return session().running;
    } catch (...) {
        return nullptr;  // the first use ran out of memory reading KORVID_TRACE
    }
}

}  // namespace korvid::trace
