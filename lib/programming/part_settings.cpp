#include "programming/part_settings.h"

#include "catalogue/option_encoding.h"

namespace korvid::programming {
namespace {

constexpr uint32_t kIapUnitBytes = 512;

}  // namespace

std::optional<PartSettings> partSettingsFor(const catalogue::Catalogue& catalogue,
                                            const JobRecord& job, bool icp, bool toTarget) {
    const catalogue::PartEntry* entry = catalogue.entry(icp, job.partIndex);
    if (entry == nullptr) {
        return std::nullopt;
    }
    PartSettings settings;
    if (!icp) {
        settings.ispOptionByte = catalogue::encodeIspOptionByte(
            *entry, job, toTarget ? kOptionStartToTarget : kOptionStartToProgrammer);
        return settings;
    }
    const auto configBytes =
        catalogue::encodeIcpConfigBytes(*entry, job, catalogue::IapBoundaryEncoding::Programming);
    if (!configBytes) {
        return std::nullopt;
    }
    settings.icpConfigBytes = *configBytes;
    // The encoder accepted the job: the list item exists and ISP plus IAP memory
    // fit into the flash, so neither subtraction wraps.
    settings.ispStart = entry->flashSize - *catalogue::ispMemorySize(*entry, job.ispMemoryIndex);
    settings.iapStart = settings.ispStart - job.iapMemoryIndex * kIapUnitBytes;
    return settings;
}

}  // namespace korvid::programming
