// Reading a KPJ project file through the library: its record with its footer, then
// its code.
#pragma once

#include "korvid.h"
#include "korvid_ext.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::core {

struct LoadedProject {
    // 0 on success; otherwise the failing call's result code.
    uint8_t result = RC_OK;
    // The failure came from reading the code (LoadKPJBuffer), not the record.
    bool codeReadFailed = false;
    // The record as LoadKPJInfo fills it; codeBuffer is null, codeName terminated.
    // Its part is the first with the project's device code whose flash holds the
    // code (else the first with the code); footer.partsWithDeviceCode names them all.
    JobRecord record{};
    uint32_t icpFlag = 0;
    KorvidProjectFooter footer{};  // every footer field, when the record was read
    std::vector<uint8_t> code;     // record.codeLength bytes
};

// Reads the record and footer (KorvidLoadKPJFooter, which checks the file as
// LoadKPJInfo does) and then the code (LoadKPJBuffer) of path (a native, 8-bit
// file name).
LoadedProject LoadProject(const std::string& path);

}  // namespace korvid::core
