// The production log: one JSON line per programmer operation, appended.
#pragma once

#include "outcome.h"
#include "report.h"
#include "serial_ranges.h"

#include <optional>
#include <string>

namespace korvid::cli {

// A log file opened for appending. Each entry is written with one write(2) on an
// O_APPEND descriptor and then fsynced (on Windows one WriteFile on a handle that
// may only append, then FlushFileBuffers), so entries of commands running at once
// never interleave. A command killed while the kernel copies its line can leave
// the start of that line at the end of the file; the next entry then begins on a
// line of its own, so a whole entry never runs together with such a fragment. The
// tool never rewrites or truncates the file.
class ProductionLog {
public:
    // Opens (creates) path; throws a FileError failure when it cannot.
    explicit ProductionLog(const std::string& path);
    ~ProductionLog();
    ProductionLog(const ProductionLog&) = delete;
    ProductionLog& operator=(const ProductionLog&) = delete;

    // Appends fields as one line, preceded by "time" (UTC, ISO 8601 with
    // milliseconds) and "host"; throws a FileError failure when the line could not
    // be written whole.
    void append(const Json& fields) const;

private:
    // Writes the line in one piece and flushes it to disk; throws a FileError
    // failure when it did not go out whole.
    void writeWholeLine(const std::string& line) const;

    std::string path_;
#if defined(_WIN32)
    void* file_ = nullptr;  // HANDLE
#else
    int fd_ = -1;
#endif
};

// Appends fields to log when one is given. A log that cannot be written (a full
// disk) does not end the command there: the failure is returned, so that the
// command reports every result first and then fails with it.
std::optional<CommandFailure> AppendToLog(const ProductionLog* log, const Json& fields);

// This computer's name, as every log entry gives it ("" when it has none).
std::string HostName();

// What one programmer operation did, as its log entry tells it.
struct OperationRecord {
    std::string operation;  // "program", "store", "dump" or "update-firmware"
    Json programmer;        // location and programmerSerial
    Json job;               // the job's and count's fields; empty for dump and update-firmware
    std::optional<SerialRange> serialRange;
    bool ok = false;
    std::optional<uint8_t> resultCode;
    std::string message;
    double seconds = 0;
};

// The log entry of record (without time and host). The serial range of a failed
// operation is marked lost: its numbers are never handed out again.
Json LogEntry(const OperationRecord& record);

// The current UTC time as "2024-05-01T12:00:00.123Z".
std::string UtcTimestamp();

}  // namespace korvid::cli
