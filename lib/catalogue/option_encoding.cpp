#include "catalogue/option_encoding.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

namespace korvid::catalogue {
namespace {

constexpr std::string_view kInvertedOptionName = "KEEP IAP-DATA";
// ISP entries below this index store "KEEP IAP-DATA" active-high.
constexpr int32_t kInvertedKeepIapDataEntries = 9;
constexpr uint32_t kIapUnitBytes = 512;

uint32_t usedOptionCount(const PartEntry& entry) {
    return std::min<uint32_t>(entry.optionCount, kMaxOptions);
}

bool optionChecked(uint64_t states, uint32_t k) {
    return ((states >> k) & 1) != 0;
}

bool isInvertedIspOption(const OptionBit& option, int32_t partIndex) {
    return partIndex >= 0 && partIndex < kInvertedKeepIapDataEntries &&
           std::string_view(option.text) == kInvertedOptionName;
}

bool fieldAbsent(BitField field) {
    return field.mask == 0xFF;
}

int fieldShift(BitField field) {
    int shift = 0;
    while ((field.mask >> shift) & 1) {
        ++shift;
    }
    return shift;
}

uint8_t fieldAllOnes(BitField field) {
    return static_cast<uint8_t>(static_cast<uint8_t>(~field.mask) >> fieldShift(field));
}

bool fieldFits(BitField field) {
    return fieldAbsent(field) || field.byteIndex < kIcpConfigByteCount;
}

// The byte keeps its mask bits; the field's bits receive value at the field's shift.
void storeField(IcpConfigBytes& bytes, BitField field, uint8_t value) {
    if (fieldAbsent(field)) {
        return;
    }
    uint8_t& target = bytes[field.byteIndex];
    const auto placed = static_cast<uint8_t>(value << fieldShift(field));
    target = static_cast<uint8_t>((target & field.mask) | (placed & ~field.mask));
}

uint8_t loadField(const IcpConfigBytes& bytes, BitField field) {
    return static_cast<uint8_t>((bytes[field.byteIndex] & ~field.mask) >> fieldShift(field));
}

// The ICP entry at index 0 also carries bits 16..23 of the boundary, in the next byte.
bool hasWideBoundary(const JobRecord& job) {
    return job.partIndex == 0;
}

bool icpEntryFits(const PartEntry& entry, const JobRecord& job) {
    const uint32_t boundaryBytes = hasWideBoundary(job) ? 2 : 1;
    if (entry.iapBoundaryByte + boundaryBytes > kIcpConfigByteCount) {
        return false;
    }
    if (!fieldFits(entry.ispMemoryField) || !fieldFits(entry.hwwidlField) ||
        !fieldFits(entry.hwpsField)) {
        return false;
    }
    const OptionBit* options = entry.options;
    return std::all_of(options, options + usedOptionCount(entry), [](const OptionBit& option) {
        return option.byteIndex < kIcpConfigByteCount;
    });
}

}  // namespace

uint64_t optionStates(const JobRecord& job) {
    return (static_cast<uint64_t>(job.optionStates[1]) << 32) | job.optionStates[0];
}

void setOptionStates(JobRecord& job, uint64_t states) {
    job.optionStates[0] = static_cast<uint32_t>(states);
    job.optionStates[1] = static_cast<uint32_t>(states >> 32);
}

uint8_t encodeIspOptionByte(const PartEntry& entry, const JobRecord& job, uint8_t startValue) {
    const uint64_t states = optionStates(job);
    uint8_t byte = startValue;
    for (uint32_t k = 0; k < usedOptionCount(entry); ++k) {
        const OptionBit& option = entry.options[k];
        const bool bitSet = optionChecked(states, k) == isInvertedIspOption(option, job.partIndex);
        byte = static_cast<uint8_t>(bitSet ? (byte | option.mask) : (byte & ~option.mask));
    }
    return byte;
}

void decodeIspOptionByte(const PartEntry& entry, uint8_t optionByte, JobRecord& job) {
    uint64_t states = 0;
    for (uint32_t k = 0; k < usedOptionCount(entry); ++k) {
        const OptionBit& option = entry.options[k];
        const bool bitSet = (optionByte & option.mask) != 0;
        if (bitSet == isInvertedIspOption(option, job.partIndex)) {
            states |= uint64_t{1} << k;
        }
    }
    setOptionStates(job, states);
}

std::optional<uint32_t> ispMemorySize(const PartEntry& entry, uint32_t index) {
    if (entry.ispMemoryList == nullptr) {
        return std::nullopt;
    }
    std::string_view rest(entry.ispMemoryList);
    for (uint32_t position = 0; position < index; ++position) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(comma + 1);
    }
    const std::string_view token = rest.substr(0, rest.find(','));
    uint32_t size = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), size, 16);
    if (error != std::errc() || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return size;
}

std::optional<IcpAreaStarts> icpAreaStarts(const PartEntry& entry, const JobRecord& job) {
    const std::optional<uint32_t> ispSize = ispMemorySize(entry, job.ispMemoryIndex);
    const uint64_t reserved = uint64_t{job.iapMemoryIndex} * kIapUnitBytes;
    if (!ispSize || *ispSize + reserved > entry.flashSize) {
        return std::nullopt;
    }
    IcpAreaStarts starts;
    starts.ispStart = entry.flashSize - *ispSize;
    starts.iapStart = static_cast<uint32_t>(starts.ispStart - reserved);
    return starts;
}

std::optional<IcpConfigBytes> encodeIcpConfigBytes(const PartEntry& entry, const JobRecord& job,
                                                   IapBoundaryEncoding encoding) {
    if (!icpEntryFits(entry, job)) {
        return std::nullopt;
    }
    const std::optional<IcpAreaStarts> starts = icpAreaStarts(entry, job);
    if (!starts) {
        return std::nullopt;
    }
    IcpConfigBytes bytes;
    bytes.fill(0xFF);

    storeField(bytes, entry.ispMemoryField,
               static_cast<uint8_t>(fieldAllOnes(entry.ispMemoryField) - job.ispMemoryIndex));

    const uint32_t boundary = starts->iapStart;
    const bool storedAsFree =
        encoding == IapBoundaryEncoding::ProjectFile && job.iapMemoryIndex == 0;
    bytes[entry.iapBoundaryByte] = storedAsFree ? 0xFF : static_cast<uint8_t>(boundary >> 8);
    if (hasWideBoundary(job)) {
        bytes[entry.iapBoundaryByte + 1] = static_cast<uint8_t>(boundary >> 16);
    }

    storeField(bytes, entry.hwwidlField, static_cast<uint8_t>(job.hwOptions & 1));
    storeField(bytes, entry.hwpsField, static_cast<uint8_t>((job.hwOptions >> 1) & 7));

    const uint64_t states = optionStates(job);
    for (uint32_t k = 0; k < usedOptionCount(entry); ++k) {
        const OptionBit& option = entry.options[k];
        uint8_t& target = bytes[option.byteIndex];
        target = static_cast<uint8_t>(optionChecked(states, k) ? (target & ~option.mask)
                                                               : (target | option.mask));
    }
    return bytes;
}

bool decodeIcpConfigBytes(const PartEntry& entry, const IcpConfigBytes& bytes, JobRecord& job) {
    if (!icpEntryFits(entry, job)) {
        return false;
    }
    if (!fieldAbsent(entry.ispMemoryField)) {
        job.ispMemoryIndex = static_cast<uint8_t>(fieldAllOnes(entry.ispMemoryField) -
                                                  loadField(bytes, entry.ispMemoryField));
    }
    const std::optional<uint32_t> ispSize = ispMemorySize(entry, job.ispMemoryIndex);
    if (!ispSize) {
        return false;
    }

    const uint8_t boundaryMiddle = bytes[entry.iapBoundaryByte];
    if (boundaryMiddle == 0xFF) {
        job.iapMemoryIndex = 0;
    } else {
        // The wide entry keeps bits 16..23 too; reading them makes decoding the
        // inverse of encoding for a flash above 64 KiB.
        const uint64_t boundaryHigh = hasWideBoundary(job) ? bytes[entry.iapBoundaryByte + 1] : 0;
        const uint64_t boundary = (boundaryHigh << 16) | (uint64_t{boundaryMiddle} << 8);
        if (boundary + *ispSize > entry.flashSize) {
            return false;
        }
        job.iapMemoryIndex = static_cast<uint32_t>((entry.flashSize - boundary - *ispSize) >> 9);
    }

    if (!fieldAbsent(entry.hwwidlField)) {
        const uint32_t hwwidl = loadField(bytes, entry.hwwidlField) & 1u;
        job.hwOptions = (job.hwOptions & ~1u) | hwwidl;
    }
    if (!fieldAbsent(entry.hwpsField)) {
        const uint32_t hwps = loadField(bytes, entry.hwpsField) & 7u;
        job.hwOptions = (job.hwOptions & ~0xEu) | (hwps << 1);
    }

    uint64_t states = 0;
    for (uint32_t k = 0; k < usedOptionCount(entry); ++k) {
        const OptionBit& option = entry.options[k];
        if ((bytes[option.byteIndex] & option.mask) == 0) {
            states |= uint64_t{1} << k;
        }
    }
    setOptionStates(job, states);
    return true;
}

}  // namespace korvid::catalogue
