// The programmer operations the commands run: the library's exports, and the
// question whether a programmer that was not found is merely not accessible.
// Tests replace them with a fake that records the calls.
#pragma once

#include "korvid.h"

#include <cstdint>
#include <string>

namespace korvid::workbench {

class ProgrammerOperations {
public:
    virtual ~ProgrammerOperations() = default;

    virtual uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) = 0;
    virtual uint8_t DumpMCUInfo(uint8_t* destination) = 0;
    // Called on the firmware-update worker thread.
    virtual uint8_t UpdateFW() = 0;
    virtual uint8_t SaveKPJ(const std::string& path, const JobRecord& job, uint32_t icpFlag) = 0;
    // True when a programmer is attached but none of its device nodes may be opened.
    virtual bool ProgrammerNotAccessible() = 0;
};

// The real operations: the library's exports and the device-node probe.
class LibraryOperations final : public ProgrammerOperations {
public:
    uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) override;
    uint8_t DumpMCUInfo(uint8_t* destination) override;
    uint8_t UpdateFW() override;
    uint8_t SaveKPJ(const std::string& path, const JobRecord& job, uint32_t icpFlag) override;
    bool ProgrammerNotAccessible() override;
};

}  // namespace korvid::workbench
