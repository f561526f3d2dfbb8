// A recorded wire trace read for replaying: its events in order with their line
// numbers, a cursor, and the first place where the host's traffic disagreed with
// the recording.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/trace/trace_event.h"

namespace korvid::replay {

class TraceScript {
public:
    // Reads a trace; nothing and `error` set (with the line number) when the file
    // cannot be read or a line does not follow the grammar.
    static std::optional<TraceScript> Load(const std::string& path, std::string& error);
    static std::optional<TraceScript> Parse(std::string_view text, std::string& error);

    // Takes the next event when it is the host's `actual` one: the same link,
    // direction and kind, and the same value for each of `hostKeys` (what the host
    // chose: bytes, lengths, time-outs, paths). Otherwise the script fails with a
    // message naming the line and the recorded and actual events or bytes, and
    // nullptr is returned, as it is for every call once the script failed.
    const trace::TraceEvent* expect(const trace::TraceEvent& actual,
                                    const std::vector<std::string_view>& hostKeys);

    // Fails the script because of the event expect() returned last (e.g. a
    // recorded result that is not a valid name). Keeps the first failure.
    void failAtLastEvent(const std::string& why);

    // The next event, or nullptr at the end or after a failure.
    const trace::TraceEvent* peek() const;
    bool atEnd() const { return next_ == entries_.size(); }
    bool failed() const { return !failure_.empty(); }
    // The first disagreement, or "" while there was none.
    const std::string& failure() const { return failure_; }

    // The time stamp of the next event: what the recording's clock read when the
    // host made its next call (the last stamp at the end).
    uint64_t nowUs() const;

private:
    struct Entry {
        trace::TraceEvent event;
        size_t line;
    };

    void fail(std::string message);
    std::string where(size_t index) const;

    std::vector<Entry> entries_;
    size_t next_ = 0;
    std::string failure_;
};

}  // namespace korvid::replay
