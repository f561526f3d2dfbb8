#include "catalogue/kpj_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "catalogue/kpj_layout.h"
#include "catalogue/option_encoding.h"
#include "code_name_bytes.h"
#include "link/programmer_identifier.h"

namespace korvid::catalogue::kpj {

FooterStamp currentFooterStamp() {
    // Unsigned product: the low 16 bits are what is kept, and signed overflow is avoided.
    const uint32_t first = static_cast<uint32_t>(std::rand());
    const uint32_t second = static_cast<uint32_t>(std::rand());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FooterStamp{
        .randomWord = static_cast<uint16_t>(first * second),
        .year = static_cast<uint8_t>((local.tm_year + 1900) % 100),
        .month = static_cast<uint8_t>(local.tm_mon + 1),
        .day = static_cast<uint8_t>(local.tm_mday),
        .hour = static_cast<uint8_t>(local.tm_hour),
        .minute = static_cast<uint8_t>(local.tm_min),
        .second = static_cast<uint8_t>(local.tm_sec),
        .programmerIdentifier = link::programmerIdentifier(),
    };
}

std::span<const char> storedCodeName(const JobRecord& job) {
    const std::string_view name(job.codeName, strnlen(job.codeName, sizeof job.codeName));
    return {job.codeName, core::CodeNameCutLength(name, kMaxCodeNameBytes)};
}

std::optional<std::vector<uint8_t>> buildFooter(const Catalogue& catalogue, const JobRecord& job,
                                                bool icp, const FooterStamp& stamp) {
    const PartEntry* entry = catalogue.entry(icp, job.partIndex);
    if (entry == nullptr || job.programArea > AREA_WHOLE_CHIP ||
        (job.codeLength > 0 && job.codeBuffer == nullptr)) {
        return std::nullopt;
    }
    IcpConfigBytes icpBytes;
    icpBytes.fill(0xFF);
    uint8_t ispOptionByte = kProjectIspOptionStart;
    if (icp) {
        const auto encoded = encodeIcpConfigBytes(*entry, job, IapBoundaryEncoding::ProjectFile);
        if (!encoded) {
            return std::nullopt;
        }
        icpBytes = *encoded;
    } else {
        ispOptionByte = encodeIspOptionByte(*entry, job, kProjectIspOptionStart);
    }

    const std::span<const char> name = storedCodeName(job);
    const size_t footerLength = kFixedFooterBytes + name.size();
    std::vector<uint8_t> footer(footerLength, 0);
    const auto field = [&](size_t back) { return footer.data() + footerLength - back; };

    std::memcpy(footer.data(), kMagic.data(), kMagic.size());
    footer[kNameLengthOffset] = static_cast<uint8_t>(name.size());
    std::memcpy(footer.data() + kNameOffset, name.data(), name.size());
    storeBigEndian32(field(kBackCodeLength), job.codeLength);
    storeBigEndian16(field(kBackCodeSum), byteSum16({job.codeBuffer, job.codeLength}));
    storeBigEndian16(field(kBackDeviceCode), static_cast<uint16_t>(entry->deviceCode));
    *field(kBackIspOptionByte) = ispOptionByte;
    *field(kBackProgramArea) = static_cast<uint8_t>(job.programArea + 1);
    *field(kBackConstant8) = kConstant8;
    std::copy(icpBytes.begin(), icpBytes.end(), field(kBackIcpConfig));
    field(kBackRandomWord)[0] = static_cast<uint8_t>(stamp.randomWord);
    field(kBackRandomWord)[1] = static_cast<uint8_t>(stamp.randomWord >> 8);
    const uint8_t time[] = {stamp.year, stamp.month,  stamp.day,
                            stamp.hour, stamp.minute, stamp.second};
    std::copy(std::begin(time), std::end(time), field(kBackTimeStamp));
    storeBigEndian16(field(kBackProgrammerId), stamp.programmerIdentifier);
    storeBigEndian16(field(kBackVersion), kApVersion);
    *field(kBackToolCode) = kToolCode;
    storeBigEndian16(field(kBackFooterLength), static_cast<uint16_t>(footerLength));
    storeBigEndian16(field(kBackFooterSum), footerSum(footer));
    return footer;
}

}  // namespace korvid::catalogue::kpj
