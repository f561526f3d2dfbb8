#include "link/trace/trace_event.h"

#include <charconv>

#include "hex_digit.h"

namespace korvid::trace {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Characters that stand for themselves in a value; everything else is escaped as
// %XX, so values never contain a space or a bracket.
bool plainValueChar(char c) {
    return c > 0x20 && c < 0x7F && c != '%' && c != '[' && c != ']';
}

bool nameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool validName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (!nameChar(c)) {
            return false;
        }
    }
    return true;
}

void appendEscaped(std::string& out, std::string_view value) {
    for (char c : value) {
        if (plainValueChar(c)) {
            out += c;
        } else {
            const auto byte = static_cast<uint8_t>(c);
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
}

std::optional<std::string> unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%') {
            const int high = i + 2 < value.size() ? core::HexDigitValue(value[i + 1]) : -1;
            const int low = high >= 0 ? core::HexDigitValue(value[i + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(high << 4 | low);
            i += 2;
        } else if (plainValueChar(c)) {
            out += c;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

void appendField(std::string& out, const TraceField& field) {
    out += field.key;
    out += '=';
    appendEscaped(out, field.value);
}

std::optional<TraceField> parseField(std::string_view token, std::string& error) {
    const size_t equals = token.find('=');
    if (equals == std::string_view::npos || !validName(token.substr(0, equals))) {
        error = "expected key=value, found \"" + std::string(token) + "\"";
        return std::nullopt;
    }
    auto value = unescape(token.substr(equals + 1));
    if (!value) {
        error = "bad character or escape in \"" + std::string(token) + "\"";
        return std::nullopt;
    }
    return TraceField{std::string(token.substr(0, equals)), std::move(*value)};
}

// Splits at single spaces; an empty token (two spaces, a leading or trailing space)
// is malformed.
std::optional<std::vector<std::string_view>> tokens(std::string_view line) {
    std::vector<std::string_view> result;
    size_t start = 0;
    while (true) {
        const size_t space = line.find(' ', start);
        const std::string_view token = line.substr(start, space - start);
        if (token.empty()) {
            return std::nullopt;
        }
        result.push_back(token);
        if (space == std::string_view::npos) {
            return result;
        }
        start = space + 1;
    }
}

bool parseDirection(std::string_view token, Direction& direction) {
    if (token.size() != 1) {
        return false;
    }
    switch (token[0]) {
        case '>':
            direction = Direction::HostToDevice;
            return true;
        case '<':
            direction = Direction::DeviceToHost;
            return true;
        case '-':
            direction = Direction::None;
            return true;
        default:
            return false;
    }
}

}  // namespace

TraceEvent& TraceEvent::add(std::string key, std::string value) {
    fields.push_back({std::move(key), std::move(value)});
    return *this;
}

const std::string* TraceEvent::field(std::string_view key) const {
    for (const TraceField& f : fields) {
        if (f.key == key) {
            return &f.value;
        }
    }
    return nullptr;
}

TraceEvent MakeEvent(uint64_t timeUs, std::string_view link, Direction direction,
                     std::string_view kind) {
    return TraceEvent{timeUs, std::string(link), direction, std::string(kind), {}, {}};
}

std::string FormatTraceLine(const TraceEvent& event) {
    std::string line = std::to_string(event.timeUs);
    line += ' ';
    line += event.link;
    line += ' ';
    line += static_cast<char>(event.direction);
    line += ' ';
    line += event.kind;
    for (const TraceField& field : event.fields) {
        line += ' ';
        appendField(line, field);
    }
    for (const TraceRecord& record : event.records) {
        line += " [";
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0) {
                line += ' ';
            }
            appendField(line, record[i]);
        }
        line += ']';
    }
    return line;
}

std::optional<TraceEvent> ParseTraceLine(std::string_view line, std::string& error) {
    const auto parts = tokens(line);
    if (!parts || parts->size() < 4) {
        error = "expected \"<time> <link> <direction> <kind>\" and fields separated by one space";
        return std::nullopt;
    }
    TraceEvent event;
    const std::string_view time = (*parts)[0];
    const auto [end, ec] = std::from_chars(time.data(), time.data() + time.size(), event.timeUs);
    if (ec != std::errc{} || end != time.data() + time.size()) {
        error = "time stamp \"" + std::string(time) + "\" is not a decimal number";
        return std::nullopt;
    }
    if (!validName((*parts)[1]) || !validName((*parts)[3])) {
        error = "link and kind are names of letters, digits and '-'";
        return std::nullopt;
    }
    event.link = (*parts)[1];
    event.kind = (*parts)[3];
    if (!parseDirection((*parts)[2], event.direction)) {
        error = "direction \"" + std::string((*parts)[2]) + "\" is not '>', '<' or '-'";
        return std::nullopt;
    }
    bool inRecord = false;
    for (size_t i = 4; i < parts->size(); ++i) {
        std::string_view token = (*parts)[i];
        const bool opens = token.front() == '[';
        if (opens) {
            if (inRecord) {
                error = "'[' inside a record";
                return std::nullopt;
            }
            token.remove_prefix(1);
            event.records.emplace_back();
            inRecord = true;
        }
        const bool closes = !token.empty() && token.back() == ']';
        if (closes) {
            if (!inRecord) {
                error = "']' outside a record";
                return std::nullopt;
            }
            token.remove_suffix(1);
        }
        if (token.empty()) {
            if (!(opens && closes)) {
                error = "empty field";
                return std::nullopt;
            }
        } else {
            auto field = parseField(token, error);
            if (!field) {
                return std::nullopt;
            }
            (inRecord ? event.records.back() : event.fields).push_back(std::move(*field));
        }
        inRecord = inRecord && !closes;
    }
    if (inRecord) {
        error = "record without its closing ']'";
        return std::nullopt;
    }
    return event;
}

bool IsTraceComment(std::string_view line) {
    return line.empty() || line.front() == '#';
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = core::HexDigitValue(text[i]);
        const int low = core::HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

}  // namespace korvid::trace
