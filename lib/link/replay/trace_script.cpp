#include "link/replay/trace_script.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace korvid::replay {
namespace {

// Lines quoted in messages are cut here: a pipe write may carry kilobytes.
constexpr size_t kQuotedLineChars = 160;
// Bytes shown before and after the first differing byte.
constexpr size_t kContextBytes = 8;

std::string quoted(const trace::TraceEvent& event) {
    std::string line = trace::FormatTraceLine(event);
    if (line.size() > kQuotedLineChars) {
        line.resize(kQuotedLineChars);
        line += "...";
    }
    return line;
}

// The host's side of an event: link, direction, kind and the host's fields.
std::string quotedActual(const trace::TraceEvent& actual) {
    std::string line = quoted(actual);
    return line.substr(line.find(' ') + 1);  // no time stamp: the host has none of its own
}

std::string hexWindow(const std::vector<uint8_t>& bytes, size_t at) {
    const size_t from = at > kContextBytes ? at - kContextBytes : 0;
    const size_t to = std::min(bytes.size(), at + kContextBytes + 1);
    std::string text;
    if (from > 0) {
        text += "... ";
    }
    for (size_t i = from; i < to; ++i) {
        const std::string pair = trace::HexBytes({&bytes[i], 1});
        text += i == at ? "[" + pair + "]" : pair;
        text += ' ';
    }
    if (at >= bytes.size()) {
        text += "[end] ";
    }
    if (to < bytes.size()) {
        text += "...";
    }
    return text;
}

// Where two byte strings part, as "byte N of recorded R, host H: …".
std::string bytesDifference(std::string_view recordedHex, std::string_view actualHex) {
    const auto recorded = trace::ParseHexBytes(recordedHex);
    const auto actual = trace::ParseHexBytes(actualHex);
    if (!recorded || !actual) {
        return "recorded \"" + std::string(recordedHex) + "\", host \"" + std::string(actualHex) +
               "\"";
    }
    const auto [r, a] =
        std::mismatch(recorded->begin(), recorded->end(), actual->begin(), actual->end());
    const auto at = static_cast<size_t>(r - recorded->begin());
    return "first difference at byte " + std::to_string(at) + " (recorded " +
           std::to_string(recorded->size()) + " bytes, host " + std::to_string(actual->size()) +
           ")\n  recorded: " + hexWindow(*recorded, at) + "\n  host:     " + hexWindow(*actual, at);
}

}  // namespace

std::optional<TraceScript> TraceScript::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    auto script = Parse(text.str(), error);
    if (!script) {
        error = path + ":" + error;
    }
    return script;
}

std::optional<TraceScript> TraceScript::Parse(std::string_view text, std::string& error) {
    TraceScript script;
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (trace::IsTraceComment(line)) {
            continue;
        }
        std::string why;
        auto event = trace::ParseTraceLine(line, why);
        if (!event) {
            error = std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        }
        script.entries_.push_back({std::move(*event), lineNumber});
    }
    return script;
}

const trace::TraceEvent* TraceScript::expect(const trace::TraceEvent& actual,
                                             const std::vector<std::string_view>& hostKeys) {
    if (failed()) {
        return nullptr;
    }
    if (atEnd()) {
        fail("after the last line: the recording ends, but the host went on with\n  " +
             quotedActual(actual));
        return nullptr;
    }
    const trace::TraceEvent& recorded = entries_[next_].event;
    if (recorded.link != actual.link || recorded.direction != actual.direction ||
        recorded.kind != actual.kind) {
        fail(where(next_) + "the recording has\n  " + quoted(recorded) + "\nbut the host did\n  " +
             quotedActual(actual));
        return nullptr;
    }
    for (std::string_view key : hostKeys) {
        const std::string* want = recorded.field(key);
        const std::string* got = actual.field(key);
        if (want == nullptr || got == nullptr) {
            if (want != got) {
                fail(where(next_) + recorded.link + " " + recorded.kind + ": field " +
                     std::string(key) + (want == nullptr ? " is not recorded" : " is missing"));
                return nullptr;
            }
            continue;
        }
        if (*want == *got) {
            continue;
        }
        fail(where(next_) + recorded.link + " " + recorded.kind + ": " + std::string(key) +
             " differs, " +
             (key == "data" ? bytesDifference(*want, *got)
                            : "recorded " + *want + ", host " + *got));
        return nullptr;
    }
    return &entries_[next_++].event;
}

void TraceScript::failAtLastEvent(const std::string& why) {
    fail(where(next_ > 0 ? next_ - 1 : 0) + why);
}

const trace::TraceEvent* TraceScript::peek() const {
    return failed() || atEnd() ? nullptr : &entries_[next_].event;
}

uint64_t TraceScript::nowUs() const {
    if (entries_.empty()) {
        return 0;
    }
    return entries_[std::min(next_, entries_.size() - 1)].event.timeUs;
}

void TraceScript::fail(std::string message) {
    if (!failed()) {
        failure_ = std::move(message);
    }
}

std::string TraceScript::where(size_t index) const {
    return index < entries_.size() ? "line " + std::to_string(entries_[index].line) + ": " : "";
}

}  // namespace korvid::replay
