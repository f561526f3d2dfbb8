#include "intel_hex.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace korvid::core {
namespace {

constexpr std::size_t kMaxRecordBytes = 260;  // count, address, type, 255 data, checksum
constexpr uint8_t kTypeData = 0x00;
constexpr uint8_t kTypeExtendedSegment = 0x02;
constexpr uint8_t kTypeExtendedLinear = 0x04;

// A digit's value is its low four bits, plus 9 when its 0x40 bit is set, so
// "0"-"9", "A"-"F" and "a"-"f" give their hexadecimal values.
constexpr uint8_t DigitValue(char c) {
    const auto u = static_cast<uint8_t>(c);
    return static_cast<uint8_t>((u & 0x0F) + ((u & 0x40) ? 9 : 0));
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

class Converter {
public:
    explicit Converter(std::size_t textSize) : textSize_(textSize) {}

    // Applies one line; false when the conversion ends with it.
    bool ApplyLine(std::string_view line) {
        if (line.empty() || line.front() != ':') {
            return true;
        }
        const std::string_view digits = line.substr(1);
        if (digits.size() % 2 != 0 || digits.size() / 2 > kMaxRecordBytes ||
            digits.size() / 2 < 5) {
            return false;
        }
        const std::size_t length = digits.size() / 2;
        uint8_t sum = 0;
        for (std::size_t i = 0; i < length; ++i) {
            record_[i] = static_cast<uint8_t>(DigitValue(digits[2 * i]) << 4 |
                                              DigitValue(digits[2 * i + 1]));
            sum = static_cast<uint8_t>(sum + record_[i]);
        }
        const std::size_t count = record_[0];
        if (sum != 0 || length != count + 5) {
            return false;
        }
        const uint32_t address = static_cast<uint32_t>(record_[1] << 8 | record_[2]);
        const uint8_t type = record_[3];
        const uint8_t* data = record_.data() + 4;
        switch (type) {
            case kTypeData:
                PlaceData(base_ + address, data, count);
                return true;
            case kTypeExtendedSegment:
            case kTypeExtendedLinear:
                if (count == 2 && address == 0) {
                    const std::size_t value = static_cast<std::size_t>(data[0] << 8 | data[1]);
                    base_ = value << (type == kTypeExtendedSegment ? 4 : 16);
                }
                return true;
            default:
                return false;
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

}  // namespace

std::vector<uint8_t> ParseIntelHex(std::string_view text) {
    Converter converter(text.size());
    const char* position = text.data();
    const char* const end = text.data() + text.size();
    while (position < end) {
        const char* lineEnd = FirstLineEnd(position, end);
        if (!converter.ApplyLine(std::string_view(position, lineEnd - position))) {
            break;
        }
        position = lineEnd;
        while (position < end && IsLineEnd(*position)) {
            ++position;
        }
    }
    return converter.TakeImage();
}

}  // namespace korvid::core
