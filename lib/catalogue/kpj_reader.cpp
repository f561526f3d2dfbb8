#include "catalogue/kpj_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalogue/kpj_layout.h"
#include "catalogue/option_encoding.h"

namespace korvid::catalogue::kpj {
namespace {

// A footer that passed the checks that need nothing but itself.
class Footer {
public:
    std::vector<uint8_t> bytes;
    uint64_t fileSize = 0;

    const uint8_t* field(size_t back) const { return bytes.data() + bytes.size() - back; }
    uint64_t codeBytesInFile() const { return fileSize - bytes.size(); }
    uint32_t codeLength() const { return loadBigEndian32(field(kBackCodeLength)); }
    uint16_t codeSum() const { return loadBigEndian16(field(kBackCodeSum)); }
    size_t nameLength() const { return bytes[kNameLengthOffset]; }
};

// The footer length is checked against the file before anything else is read.
uint8_t loadFooter(ByteSource& source, Footer& footer) {
    footer.fileSize = source.size();
    uint8_t lengthField[2];
    if (footer.fileSize < kFixedFooterBytes) {
        return RC_KPJ_FOOTER_SUM;
    }
    if (!source.read(footer.fileSize - 2, lengthField)) {
        return RC_FILE_OPEN;
    }
    const uint16_t footerLength = loadBigEndian16(lengthField);
    if (footerLength < kFixedFooterBytes || footerLength > footer.fileSize) {
        return RC_KPJ_FOOTER_SUM;
    }
    footer.bytes.resize(footerLength);
    if (!source.read(footer.fileSize - footerLength, footer.bytes)) {
        return RC_FILE_OPEN;
    }
    if (footerSum(footer.bytes) != loadBigEndian16(footer.field(kBackFooterSum)) ||
        footer.nameLength() > footerLength - kFixedFooterBytes) {
        return RC_KPJ_FOOTER_SUM;
    }
    if (*footer.field(kBackToolCode) != kToolCode) {
        return RC_KPJ_TOOL;
    }
    const uint16_t version = loadBigEndian16(footer.field(kBackVersion));
    if (version < kOldestReadableVersion || version > kApVersion) {
        return RC_KPJ_VERSION;
    }
    return RC_OK;
}

uint8_t checkCodeLength(const Footer& footer) {
    return footer.codeLength() == footer.codeBytesInFile() ? RC_OK : RC_KPJ_CODE_LENGTH;
}

uint8_t checkCodeSumAndMagic(const Footer& footer, uint16_t codeSum) {
    if (codeSum != footer.codeSum()) {
        return RC_KPJ_CODE_SUM;
    }
    if (std::memcmp(footer.bytes.data(), kMagic.data(), kMagic.size()) != 0) {
        return RC_KPJ_MAGIC;
    }
    return RC_OK;
}

// Sums the code image in chunks, so a large file is never held whole.
bool sumCode(ByteSource& source, uint32_t codeLength, uint16_t& sum) {
    std::vector<uint8_t> chunk(std::min<uint32_t>(codeLength, 64 * 1024));
    uint32_t total = 0;
    for (uint64_t offset = 0; offset < codeLength; offset += chunk.size()) {
        const auto piece =
            std::span(chunk).first(std::min<uint64_t>(chunk.size(), codeLength - offset));
        if (!source.read(offset, piece)) {
            return false;
        }
        total += byteSum16(piece);
    }
    sum = static_cast<uint16_t>(total);
    return true;
}

// Steps that turn the footer back into job settings; the device code's high byte
// tells an ICP project from an ISP one.
uint8_t decodeJob(const Catalogue& catalogue, const Footer& footer, JobRecord& job,
                  uint32_t& icpFlag) {
    const uint16_t deviceCode = loadBigEndian16(footer.field(kBackDeviceCode));
    const bool icp = (deviceCode >> 8) != 0;
    icpFlag = icp ? 1 : 0;

    const uint8_t storedArea = *footer.field(kBackProgramArea);
    if (storedArea < 1 || storedArea > AREA_WHOLE_CHIP + 1) {
        return kRcUnsupportedProject;
    }
    job.programArea = storedArea - 1u;

    const std::optional<int32_t> partIndex =
        catalogue.findDeviceCode(icp, deviceCode, footer.codeLength());
    if (!partIndex) {
        return kRcUnsupportedProject;
    }
    job.partIndex = *partIndex;
    const PartEntry& entry = *catalogue.entry(icp, *partIndex);

    if (!icp) {
        decodeIspOptionByte(entry, *footer.field(kBackIspOptionByte), job);
        return RC_OK;
    }
    IcpConfigBytes bytes;
    std::copy_n(footer.field(kBackIcpConfig), bytes.size(), bytes.begin());
    setOptionStates(job, 0);
    if (!decodeIcpConfigBytes(entry, bytes, job)) {
        return kRcUnsupportedProject;
    }
    return RC_OK;
}

// The footer's fields as stored, and the entries that share its device code.
KorvidProjectFooter fieldsOf(const Catalogue& catalogue, const Footer& footer) {
    KorvidProjectFooter fields{};
    fields.codeLength = footer.codeLength();
    fields.codeSum = footer.codeSum();
    fields.deviceCode = loadBigEndian16(footer.field(kBackDeviceCode));
    const uint8_t* random = footer.field(kBackRandomWord);
    fields.randomWord = static_cast<uint16_t>(random[0] | random[1] << 8);
    fields.programmerIdentifier = loadBigEndian16(footer.field(kBackProgrammerId));
    fields.version = loadBigEndian16(footer.field(kBackVersion));
    fields.footerSum = loadBigEndian16(footer.field(kBackFooterSum));
    fields.footerLength = loadBigEndian16(footer.field(kBackFooterLength));
    fields.ispOptionByte = *footer.field(kBackIspOptionByte);
    fields.programArea = *footer.field(kBackProgramArea);
    fields.constant = *footer.field(kBackConstant8);
    fields.toolCode = *footer.field(kBackToolCode);
    std::copy_n(footer.field(kBackTimeStamp), sizeof fields.written, fields.written);
    std::copy_n(footer.field(kBackIcpConfig), sizeof fields.icpConfiguration,
                fields.icpConfiguration);
    const std::span<const PartEntry> entries = catalogue.entries((fields.deviceCode >> 8) != 0);
    for (size_t index = 0; index < entries.size() && index < 64; ++index) {
        if ((entries[index].deviceCode & 0xFFFF) == fields.deviceCode) {
            fields.partsWithDeviceCode[index / 32] |= uint32_t{1} << (index % 32);
        }
    }
    fields.codeNameLength = static_cast<uint8_t>(footer.nameLength());
    std::copy_n(footer.bytes.data(), kMagic.size(), fields.magic);
    std::copy_n(footer.bytes.data() + kNameOffset, footer.nameLength(), fields.codeName);
    return fields;
}

}  // namespace

bool MemorySource::read(uint64_t offset, std::span<uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
        return false;
    }
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

uint8_t readProjectInfo(const Catalogue& catalogue, ByteSource& source, JobRecord& job,
                        uint32_t& icpFlag, KorvidProjectFooter* fields) {
    Footer footer;
    if (const uint8_t result = loadFooter(source, footer); result != RC_OK) {
        return result;
    }
    if (const uint8_t result = decodeJob(catalogue, footer, job, icpFlag); result != RC_OK) {
        return result;
    }
    if (const uint8_t result = checkCodeLength(footer); result != RC_OK) {
        return result;
    }
    job.codeLength = footer.codeLength();
    uint16_t codeSum = 0;
    if (!sumCode(source, job.codeLength, codeSum)) {
        return RC_FILE_OPEN;
    }
    if (const uint8_t result = checkCodeSumAndMagic(footer, codeSum); result != RC_OK) {
        return result;
    }
    const size_t nameLength = footer.nameLength();
    std::memcpy(job.codeName, footer.bytes.data() + kNameOffset, nameLength);
    job.codeName[nameLength] = '\0';
    if (fields != nullptr) {
        *fields = fieldsOf(catalogue, footer);
    }
    return RC_OK;
}

uint8_t readProjectCode(ByteSource& source, std::span<uint8_t> buffer) {
    Footer footer;
    if (const uint8_t result = loadFooter(source, footer); result != RC_OK) {
        return result;
    }
    if (checkCodeLength(footer) != RC_OK || footer.codeLength() != buffer.size()) {
        return RC_KPJ_CODE_LENGTH;
    }
    if (!source.read(0, buffer)) {
        return RC_FILE_OPEN;
    }
    return checkCodeSumAndMagic(footer, byteSum16(buffer));
}

}  // namespace korvid::catalogue::kpj
