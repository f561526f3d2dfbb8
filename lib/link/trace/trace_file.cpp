#include "link/trace/trace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace korvid::trace {

std::unique_ptr<TraceFile> TraceFile::OpenForAppending(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(descriptor));
}

TraceFile::~TraceFile() {
    ::close(file_);
}

void TraceFile::writeLine(std::string_view line) {
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole += '\n';
    // A regular file takes the whole line in one call; the loop only covers a
    // signal arriving in the middle.
    const char* next = whole.data();
    size_t left = whole.size();
    while (left > 0) {
        const ssize_t written = ::write(file_, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
}

}  // namespace korvid::trace
