#include "production_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace korvid::cli {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw CommandFailure(ExitStatus::FileError, "cannot " + what + " the log \"" + path + "\" (" +
                                                    std::strerror(error) + ")");
}

std::string HostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

}  // namespace

std::string UtcTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(milliseconds));
    return text;
}

Json LogEntry(const OperationRecord& record) {
    Json entry{{"operation", record.operation}};
    for (const Json* fields : {&record.programmer, &record.job}) {
        if (fields->is_object()) {
            entry.update(*fields);
        }
    }
    if (record.serialRange) {
        entry["serialRange"] = Json{{"first", Hex(record.serialRange->first, 8)},
                                    {"last", Hex(record.serialRange->last(), 8)}};
        entry["serialRangeLost"] = !record.ok;
    }
    entry["ok"] = record.ok;
    entry["resultCode"] = record.resultCode ? Json(*record.resultCode) : Json(nullptr);
    entry["message"] = record.message;
    entry["durationMs"] = static_cast<int64_t>(record.seconds * 1000 + 0.5);
    return entry;
}

ProductionLog::ProductionLog(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        Fail("open", path, errno);
    }
}

ProductionLog::~ProductionLog() {
    ::close(fd_);
}

void ProductionLog::append(const Json& fields) const {
    Json entry{{"time", UtcTimestamp()}, {"host", HostName()}};
    entry.update(fields);
    const std::string line = JsonLine(entry) + "\n";
    // One write: a retry after a short write would put the rest of the line after
    // another command's entry, so a short write is an error instead.
    ssize_t written = -1;
    do {
        written = ::write(fd_, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(line.size())) {
        Fail("write", path_, written < 0 ? errno : ENOSPC);
    }
    if (::fsync(fd_) != 0) {
        Fail("flush", path_, errno);
    }
}

}  // namespace korvid::cli
