#include "programming/part_settings.h"

#include "catalogue/option_encoding.h"

namespace korvid::programming {

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
    const auto starts = catalogue::icpAreaStarts(*entry, job);
    if (!configBytes || !starts) {
        return std::nullopt;
    }
    settings.icpConfigBytes = *configBytes;
    settings.ispStart = starts->ispStart;
    settings.iapStart = starts->iapStart;
    return settings;
}

}  // namespace korvid::programming
