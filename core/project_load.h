// Reading a KPJ project file through the library: its record, then its code.
#pragma once

#include "korvid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::core {

struct LoadedProject {
    // 0 on success; otherwise the failing call's result code.
    uint8_t result = RC_OK;
    // The failure came from reading the code (LoadKPJBuffer), not the record.
    bool codeReadFailed = false;
    // The record as LoadKPJInfo filled it; codeBuffer is null, codeName terminated.
    JobRecord record{};
    uint32_t icpFlag = 0;
    std::vector<uint8_t> code;  // record.codeLength bytes
};

// Runs LoadKPJInfo and then LoadKPJBuffer on path (a native, 8-bit file name).
LoadedProject LoadProject(const std::string& path);

}  // namespace korvid::core
