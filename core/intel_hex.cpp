#include "intel_hex.h"

#include "hex_digit.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace korvid::core {
namespace {

constexpr std::size_t kMinRecordBytes = 5;    // count, address (2), type, checksum
constexpr std::size_t kMaxRecordBytes = 260;  // with 255 data bytes
constexpr uint8_t kTypeData = 0x00;
constexpr uint8_t kTypeEndOfFile = 0x01;
constexpr uint8_t kTypeExtendedSegment = 0x02;
constexpr uint8_t kTypeStartSegment = 0x03;
constexpr uint8_t kTypeExtendedLinear = 0x04;
constexpr uint8_t kTypeStartLinear = 0x05;

// HexDigitValue of every character, looked up once per digit of a large file.
constexpr std::array<int8_t, 256> kDigitValues = [] {
    std::array<int8_t, 256> values{};
    for (std::size_t c = 0; c < values.size(); ++c) {
        values[c] = static_cast<int8_t>(HexDigitValue(static_cast<char>(c)));
    }
    return values;
}();

int8_t DigitValue(char c) {
    return kDigitValues[static_cast<uint8_t>(c)];
}

bool AllHexDigits(std::string_view digits) {
    int8_t any = 0;
    for (const char c : digits) {
        any = static_cast<int8_t>(any | DigitValue(c));
    }
    return any >= 0;
}

// Dense HEX text holds at least 2.5 characters per image byte, so the first
// reservation covers the whole image of a dense file. Beyond that the image grows
// by half again, so that it never holds more than 1.5 times what it needs.
constexpr std::size_t kTextCharsPerImageByte = 5;  // divided by kTextCharsScale
constexpr std::size_t kTextCharsScale = 2;

void EnsureSize(std::vector<uint8_t>& image, std::size_t size, std::size_t textSize) {
    if (size <= image.size()) {
        return;
    }
    if (size > image.capacity()) {
        const std::size_t hint = image.capacity() == 0
                                     ? textSize * kTextCharsScale / kTextCharsPerImageByte
                                     : image.capacity() + image.capacity() / 2;
        image.reserve(std::max(size, std::min(kIntelHexImageLimit, hint)));
    }
    image.resize(size, 0xFF);
}

enum class LineOutcome { Applied, EndOfFile, Refused };

class Converter {
public:
    explicit Converter(std::size_t textSize) : textSize_(textSize) {}

    // Applies one line; sets problem when it refuses the file.
    LineOutcome ApplyLine(std::string_view line, IntelHexProblem& problem) {
        if (line.empty() || line.front() != ':') {
            return LineOutcome::Applied;  // not a record
        }
        const std::string_view digits = line.substr(1);
        const std::size_t length = digits.size() / 2;
        if (digits.size() % 2 != 0 || length > kMaxRecordBytes) {
            problem = !AllHexDigits(digits)    ? IntelHexProblem::NotHexDigit
                      : digits.size() % 2 != 0 ? IntelHexProblem::OddDigitCount
                                               : IntelHexProblem::LengthMismatch;
            return LineOutcome::Refused;
        }
        int8_t anyDigit = 0;
        uint8_t sum = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const int8_t high = DigitValue(digits[2 * i]);
            const int8_t low = DigitValue(digits[2 * i + 1]);
            anyDigit = static_cast<int8_t>(anyDigit | high | low);
            record_[i] = static_cast<uint8_t>(high << 4 | (low & 0x0F));
            sum = static_cast<uint8_t>(sum + record_[i]);
        }
        if (anyDigit < 0) {
            problem = IntelHexProblem::NotHexDigit;
            return LineOutcome::Refused;
        }
        if (length < kMinRecordBytes || length != record_[0] + kMinRecordBytes) {
            problem = IntelHexProblem::LengthMismatch;
            return LineOutcome::Refused;
        }
        if (sum != 0) {
            problem = IntelHexProblem::BadChecksum;
            return LineOutcome::Refused;
        }
        const std::size_t count = record_[0];
        const uint32_t address = static_cast<uint32_t>(record_[1] << 8 | record_[2]);
        const uint8_t type = record_[3];
        const uint8_t* data = record_.data() + 4;
        switch (type) {
            case kTypeData:
                PlaceData(base_ + address, data, count);
                return LineOutcome::Applied;
            case kTypeEndOfFile:
                return LineOutcome::EndOfFile;
            case kTypeExtendedSegment:
            case kTypeExtendedLinear:
                if (count == 2 && address == 0) {
                    const std::size_t value = static_cast<std::size_t>(data[0] << 8 | data[1]);
                    base_ = value << (type == kTypeExtendedSegment ? 4 : 16);
                }
                return LineOutcome::Applied;
            case kTypeStartSegment:
            case kTypeStartLinear:
                return LineOutcome::Applied;  // an entry point: nothing to place
            default:
                problem = IntelHexProblem::UnknownRecordType;
                return LineOutcome::Refused;
        }
    }

    std::vector<uint8_t> TakeImage() { return std::move(image_); }

private:
    void PlaceData(std::size_t offset, const uint8_t* data, std::size_t count) {
        if (offset >= kIntelHexImageLimit) {
            return;
        }
        count = std::min(count, kIntelHexImageLimit - offset);
        EnsureSize(image_, offset + count, textSize_);
        std::copy_n(data, count, image_.begin() + static_cast<std::ptrdiff_t>(offset));
    }

    std::array<uint8_t, kMaxRecordBytes> record_{};
    std::size_t textSize_;
    std::size_t base_ = 0;
    std::vector<uint8_t> image_;
};

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The first CR or LF in [from, end), or end. memchr scans whole words at a time,
// which makes finding line ends a small part of the conversion.
const char* FirstLineEnd(const char* from, const char* end) {
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', end - from));
    const char* limit = lf != nullptr ? lf : end;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', limit - from));
    return cr != nullptr ? cr : limit;
}

// Steps over the run of line ends at position, counting them as an editor does:
// CR LF is one, a lone CR or LF is one each.
const char* SkipLineEnds(const char* position, const char* end, std::size_t& line) {
    while (position < end && IsLineEnd(*position)) {
        if (*position == '\r' && position + 1 < end && position[1] == '\n') {
            ++position;
        }
        ++position;
        ++line;
    }
    return position;
}

}  // namespace

IntelHexImage ParseIntelHex(std::string_view text) {
    Converter converter(text.size());
    const char* position = text.data();
    const char* const end = text.data() + text.size();
    std::size_t line = 1;
    while (position < end) {
        const char* lineEnd = FirstLineEnd(position, end);
        IntelHexProblem problem{};
        switch (converter.ApplyLine(std::string_view(position, lineEnd - position), problem)) {
            case LineOutcome::Applied:
                break;
            case LineOutcome::EndOfFile:
                return {converter.TakeImage(), std::nullopt};
            case LineOutcome::Refused:
                return {{}, IntelHexError{line, problem}};
        }
        position = SkipLineEnds(lineEnd, end, line);
    }
    return {converter.TakeImage(), std::nullopt};
}

}  // namespace korvid::core
