// A small JSON emitter: one object per result, fields in the order they are added.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::cli {

std::string JsonString(std::string_view text);

// "0x" and upper-case hexadecimal digits, zero-padded to digits (none for 0).
std::string Hex(uint32_t value, int digits);

class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view value);
    JsonObject& add(std::string_view key, const char* value) {
        return add(key, std::string_view(value));
    }
    JsonObject& add(std::string_view key, const std::string& value) {
        return add(key, std::string_view(value));
    }
    JsonObject& add(std::string_view key, int64_t value);
    JsonObject& add(std::string_view key, uint32_t value) {
        return add(key, static_cast<int64_t>(value));
    }
    JsonObject& add(std::string_view key, int value) {
        return add(key, static_cast<int64_t>(value));
    }
    JsonObject& add(std::string_view key, bool value);
    JsonObject& add(std::string_view key, const std::vector<std::string>& values);
    JsonObject& add(std::string_view key, const std::vector<JsonObject>& values);
    JsonObject& add(std::string_view key, const JsonObject& value);

    std::string text() const { return "{" + body_ + "}"; }

private:
    JsonObject& raw(std::string_view key, std::string_view json);
    std::string body_;
};

}  // namespace korvid::cli
