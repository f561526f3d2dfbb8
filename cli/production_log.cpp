#include "production_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

namespace korvid::cli {
namespace {

// Whether the file ends in the middle of a line: the start of an entry whose
// command was killed while it was written.
bool endsInsideALine(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file || file.tellg() <= 0) {
        return false;
    }
    file.seekg(-1, std::ios::end);
    return file.get() != '\n';
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

void ProductionLog::append(const Json& fields) const {
    Json entry{{"time", UtcTimestamp()}, {"host", HostName()}};
    entry.update(fields);
    writeWholeLine((endsInsideALine(path_) ? "\n" : "") + JsonLine(entry) + "\n");
}

std::optional<CommandFailure> AppendToLog(const ProductionLog* log, const Json& fields) {
    if (log == nullptr) {
        return std::nullopt;
    }
    try {
        log->append(fields);
    } catch (const CommandFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

}  // namespace korvid::cli
