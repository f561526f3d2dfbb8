// The exported catalogue and project-file functions: C records in, C++ code
// behind, and no exception ever crosses back into the caller.
#include <algorithm>
#include <array>
#include <cstring>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_file.h"
#include "catalogue/kpj_layout.h"
#include "catalogue/part_info.h"
#include "korvid.h"

using namespace korvid::catalogue;

namespace {

std::array<PartInfo, kIspPartCount> ispInfos;
PartInfo icpInfo;

// Runs a file operation; anything thrown (out of memory) becomes failureResult.
template <typename Operation>
uint8_t guarded(uint8_t failureResult, Operation operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return failureResult;
    }
}

}  // namespace

extern "C" {

KORVID_API uint32_t GetAPInfo(char* name, uint16_t* version) {
    const std::span<const char> displayed = displayName();
    if (name != nullptr) {
        std::copy(displayed.begin(), displayed.end(), name);
    }
    if (version != nullptr) {
        *version = kApVersion;
    }
    return static_cast<uint32_t>(displayed.size());
}

KORVID_API uint32_t GetISPInfo(PartInfo** parts) {
    if (parts != nullptr) {
        *parts = ispInfos.data();
    }
    return fillPartInfos(builtInCatalogue().entries(false), ispInfos);
}

KORVID_API uint32_t GetICPInfo(PartInfo** parts) {
    if (parts != nullptr) {
        *parts = &icpInfo;
    }
    return fillPartInfos(builtInCatalogue().entries(true), {&icpInfo, 1});
}

KORVID_API uint8_t SaveKPJ(const char* path, const JobRecord* job, uint32_t icpFlag) {
    if (job == nullptr) {
        return kpj::kRcInvalidJob;
    }
    if (path == nullptr) {
        return RC_FILE_OPEN;
    }
    return guarded(RC_FILE_OPEN, [&] { return kpj::saveProjectFile(path, *job, icpFlag != 0); });
}

KORVID_API uint8_t LoadKPJInfo(const char* path, JobRecord* job, uint32_t* icpFlag) {
    if (path == nullptr || job == nullptr || icpFlag == nullptr) {
        return RC_FILE_OPEN;
    }
    return guarded(RC_FILE_OPEN, [&] { return kpj::loadProjectInfo(path, *job, *icpFlag); });
}

KORVID_API uint8_t KorvidLoadKPJFooter(const char* path, JobRecord* job, uint32_t* icpFlag,
                                       KorvidProjectFooter* footer) {
    if (path == nullptr || job == nullptr || icpFlag == nullptr) {
        return RC_FILE_OPEN;
    }
    return guarded(RC_FILE_OPEN,
                   [&] { return kpj::loadProjectInfo(path, *job, *icpFlag, footer); });
}

KORVID_API uint8_t LoadKPJBuffer(const char* path, uint8_t* buffer) {
    if (path == nullptr) {
        return RC_FILE_OPEN;
    }
    return guarded(RC_FILE_OPEN, [&] { return kpj::loadProjectCode(path, buffer); });
}

}  // extern "C"
