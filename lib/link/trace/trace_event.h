// One line of a wire trace: what the host did on a link, when, and with which
// bytes. The text form is documented in docs/trace-format.md:
//
//     <time-us> <link> <direction> <kind> [key=value ...] [[key=value ...] ...]
//
// e.g. "1600 hid > output length=65 result=ok data=1fc5ffff…". Values are
// percent-escaped so that a line splits at single spaces; bracketed records carry
// repeated entries such as the devices of an enumeration.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::trace {

// Links (the second column).
inline constexpr std::string_view kLinkHid = "hid";
inline constexpr std::string_view kLinkPipe = "pipe";
inline constexpr std::string_view kLinkClock = "clock";
inline constexpr std::string_view kLinkApi = "api";  // calls of the exported functions

// Event kinds (the fourth column).
inline constexpr std::string_view kEnumerate = "enumerate";  // hid, pipe
inline constexpr std::string_view kOpen = "open";            // hid, pipe
inline constexpr std::string_view kClose = "close";          // hid, pipe
inline constexpr std::string_view kOutputReport = "output";  // hid
inline constexpr std::string_view kInputReport = "input";    // hid
inline constexpr std::string_view kSetFeature = "set-feature";
inline constexpr std::string_view kGetFeature = "get-feature";
inline constexpr std::string_view kCancel = "cancel";                         // hid
inline constexpr std::string_view kWaitInstallations = "wait-installations";  // hid
inline constexpr std::string_view kWrite = "write";                           // pipe
inline constexpr std::string_view kRead = "read";                             // pipe
inline constexpr std::string_view kReset = "reset";                           // pipe
inline constexpr std::string_view kSleep = "sleep";                           // clock
inline constexpr std::string_view kBusyWait = "busy-wait";                    // clock
inline constexpr std::string_view kCall = "call";                             // api
inline constexpr std::string_view kReturn = "return";                         // api

// Which way the bytes of an event travel (the third column).
enum class Direction : char { HostToDevice = '>', DeviceToHost = '<', None = '-' };

struct TraceField {
    std::string key;
    std::string value;  // unescaped

    bool operator==(const TraceField&) const = default;
};

using TraceRecord = std::vector<TraceField>;

struct TraceEvent {
    uint64_t timeUs = 0;
    std::string link;
    Direction direction = Direction::None;
    std::string kind;
    std::vector<TraceField> fields;
    std::vector<TraceRecord> records;

    bool operator==(const TraceEvent&) const = default;

    // Appends a field; returns the event for chaining.
    TraceEvent& add(std::string key, std::string value);
    // The value of the first field with this key, or nullptr.
    const std::string* field(std::string_view key) const;
};

// An event without fields yet.
TraceEvent MakeEvent(uint64_t timeUs, std::string_view link, Direction direction,
                     std::string_view kind);

// The line of an event, without the line end.
std::string FormatTraceLine(const TraceEvent& event);

// The event of one line (without its line end); nothing, and `error` set, when the
// line does not follow the grammar.
std::optional<TraceEvent> ParseTraceLine(std::string_view line, std::string& error);

// Lines that carry no event: blank lines and comments ("# …").
bool IsTraceComment(std::string_view line);

// Bytes as lower-case hexadecimal pairs, and back (nothing on odd length or a
// non-hexadecimal character).
std::string HexBytes(std::span<const uint8_t> bytes);
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace korvid::trace
