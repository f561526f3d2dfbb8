#include "serial_counter.h"

#include "counter_file.h"
#include "file_replace.h"
#include "hex_digit.h"
#include "hex_number.h"
#include "outcome.h"
#include "serial_ranges.h"

namespace korvid::cli {

std::optional<uint32_t> ParseCounterText(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (text.size() < 3 || text.size() > 10 || text.substr(0, 2) != "0x") {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : text.substr(2)) {
        const int digit = core::HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

std::string CounterText(uint32_t value) {
    return Hex(value, 8) + "\n";
}

void FailCounterFile(const std::string& what, const std::string& path, const std::string& reason) {
    throw CommandFailure(ExitStatus::FileError,
                         "cannot " + what + " \"" + path + "\" (" + reason + ")");
}

uint32_t ReserveSerialNumbers(const std::string& path, uint32_t initial, uint64_t count) {
    const CounterLock lock(path);
    uint32_t first = initial;
    if (const std::optional<std::string> text = ReadCounterFile(path)) {
        const std::optional<uint32_t> value = ParseCounterText(*text);
        if (!value) {
            throw CommandFailure(ExitStatus::CounterCorrupt,
                                 "the serial counter \"" + path +
                                     "\" does not hold a counter value (one line such as "
                                     "0x00001300); nothing was sent");
        }
        first = *value;
    }
    if (!SerialNumbersFit(first, count)) {
        throw CommandFailure(ExitStatus::BadSetting, "the serial counter \"" + path + "\" at " +
                                                         Hex(first, 8) + " has no " +
                                                         std::to_string(count) + " numbers left");
    }
    const std::string next = CounterText(static_cast<uint32_t>(first + count));
    ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(next.data()), next.size()),
                Durability::Synced);
    return first;
}

}  // namespace korvid::cli
