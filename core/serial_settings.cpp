#include "serial_settings.h"

#include <algorithm>
#include <cstring>

namespace korvid::core {

uint32_t HighestSerialAddress(uint32_t flashSize) {
    return flashSize >= kSerialBlockBytes ? flashSize - kSerialBlockBytes : 0;
}

SerialProblem CheckSerialSettings(const SerialSettings& settings, uint32_t flashSize) {
    if (settings.maxCount < 0 || settings.maxCount > kMaxCountLimit) {
        return SerialProblem::MaxCountTooLarge;
    }
    if (settings.serialText.size() > KORVID_SERIAL_TEXT_SIZE) {
        return SerialProblem::SerialTextTooLong;
    }
    if (settings.serialAddress > HighestSerialAddress(flashSize)) {
        return SerialProblem::SerialAddressTooHigh;
    }
    return SerialProblem::None;
}

std::array<char, KORVID_SERIAL_TEXT_SIZE> PaddedSerialText(std::string_view text) {
    std::array<char, KORVID_SERIAL_TEXT_SIZE> padded;
    padded.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), padded.size()), padded.begin());
    return padded;
}

void ApplySerialSettings(const SerialSettings& settings, JobRecord& job) {
    job.maxCount = static_cast<uint16_t>(settings.maxCount);
    job.serialFlags = (settings.serialEnabled ? 1u : 0u) | (settings.autoIncrement ? 2u : 0u);
    const auto text = PaddedSerialText(settings.serialText);
    std::memcpy(job.serialText, text.data(), text.size());
    job.serialNumber = settings.serialNumber;
    job.serialAddress = settings.serialAddress;
}

void ApplyDirectProgramming(JobRecord& job) {
    job.maxCount = 0xFFFF;
    job.serialFlags = 0;
    job.serialAddress = 0;
    job.serialNumber = 0;
    std::memset(job.serialText, 0, sizeof job.serialText);
}

int64_t DecimalFieldValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), INT64_C(1) << 40);
    }
    return negative ? -value : value;
}

uint32_t HwOptionsFromFields(std::string_view hwwidl, std::string_view hwps, uint32_t previous) {
    const auto widl = static_cast<uint32_t>(DecimalFieldValue(hwwidl) & 1);
    const auto ps = static_cast<uint32_t>(DecimalFieldValue(hwps) & 7);
    return (previous & ~0xFu) | widl | (ps << 1);
}

}  // namespace korvid::core
