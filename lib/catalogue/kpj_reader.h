// Reading a KPJ project file from any random-access byte source: checking its
// footer, turning it back into a job record and fetching its code image.
#pragma once

#include <cstdint>
#include <span>

#include "catalogue/catalogue.h"
#include "korvid.h"
#include "korvid_ext.h"

namespace korvid::catalogue::kpj {

// Random-access bytes of one file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Fills out from offset; false when the bytes cannot all be read.
    virtual bool read(uint64_t offset, std::span<uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t size() const override { return bytes_.size(); }
    bool read(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};

// Checks the project and fills job (codeName, partIndex, programArea, optionStates,
// codeLength; for ICP projects also ispMemoryIndex, iapMemoryIndex, hwOptions) and
// icpFlag, and on RC_OK footer when given. The part is the catalogue's choice for
// the device code and the code length (Catalogue::findDeviceCode). Results in the
// order checked: RC_KPJ_FOOTER_SUM (also for a footer
// length outside 53..file size or a name longer than the footer holds),
// RC_KPJ_TOOL, RC_KPJ_VERSION, kRcUnsupportedProject (area outside 0..4, no entry
// with the device code, ICP bytes that do not fit the entry), RC_KPJ_CODE_LENGTH,
// RC_KPJ_CODE_SUM, RC_KPJ_MAGIC; RC_FILE_OPEN when the source fails to read. On
// failure job may hold some fields already; icpFlag is written once the version
// check has passed.
uint8_t readProjectInfo(const Catalogue& catalogue, ByteSource& source, JobRecord& job,
                        uint32_t& icpFlag, KorvidProjectFooter* footer = nullptr);

// Re-checks the project's footer and copies its code image into buffer, which must
// be exactly as long as the image (else RC_KPJ_CODE_LENGTH). Other results as for
// readProjectInfo, without the catalogue checks.
uint8_t readProjectCode(ByteSource& source, std::span<uint8_t> buffer);

}  // namespace korvid::catalogue::kpj
