#include "json.h"

#include <cstdio>

namespace korvid::cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out += c;  // UTF-8 passes through
                }
        }
    }
    return out + "\"";
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    if (!body_.empty()) {
        body_ += ',';
    }
    body_ += JsonString(key);
    body_ += ':';
    body_ += json;
    return *this;
}

JsonObject& JsonObject::add(std::string_view key, std::string_view value) {
    return raw(key, JsonString(value));
}

JsonObject& JsonObject::add(std::string_view key, int64_t value) {
    return raw(key, std::to_string(value));
}

JsonObject& JsonObject::add(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::add(std::string_view key, const std::vector<std::string>& values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        list += (i == 0 ? "" : ",") + JsonString(values[i]);
    }
    return raw(key, list + "]");
}

JsonObject& JsonObject::add(std::string_view key, const std::vector<JsonObject>& values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        list += (i == 0 ? "" : ",") + values[i].text();
    }
    return raw(key, list + "]");
}

JsonObject& JsonObject::add(std::string_view key, const JsonObject& value) {
    return raw(key, value.text());
}

}  // namespace korvid::cli
