#include "ProgrammerOperations.h"

#include "programmer_list.h"

#include <algorithm>
#include <vector>

namespace korvid::workbench {

uint8_t LibraryOperations::UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) {
    return ::UpdateMCU(&job, icpMode, toTarget);
}

uint8_t LibraryOperations::DumpMCUInfo(uint8_t* destination) {
    return ::DumpMCUInfo(destination);
}

uint8_t LibraryOperations::UpdateFW(const FirmwareProgressSink& progress) {
    // The callback is registered for this re-flash only, so the other operations
    // report to nobody and no call outlives progress.
    KorvidSetProgressCallback(
        [](const KorvidProgress* event, void* context) {
            (*static_cast<const FirmwareProgressSink*>(context))(*event);
        },
        const_cast<FirmwareProgressSink*>(&progress));
    const uint8_t result = ::UpdateFW();
    KorvidSetProgressCallback(nullptr, nullptr);
    return result;
}

uint8_t LibraryOperations::SaveKPJ(const std::string& path, const JobRecord& job,
                                   uint32_t icpFlag) {
    return ::SaveKPJ(path.c_str(), &job, icpFlag);
}

bool LibraryOperations::ProgrammerWaitsForFirmware() {
    const std::vector<KorvidProgrammerInfo> programmers = core::ListProgrammers();
    return std::any_of(programmers.begin(), programmers.end(),
                       [](const KorvidProgrammerInfo& p) { return p.updateMode != 0; });
}

uint32_t LibraryOperations::ProgrammerAccess() {
    KorvidAccess access{};
    KorvidCheckAccess(&access);
    return access.cause;
}

}  // namespace korvid::workbench
