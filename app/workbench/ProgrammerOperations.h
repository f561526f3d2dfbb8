// The programmer operations the commands run: the library's exports, and the
// question why a programmer that was not found cannot be opened.
// Tests replace them with a fake that records the calls.
#pragma once

#include "korvid.h"
#include "korvid_ext.h"

#include <cstdint>
#include <functional>
#include <string>

namespace korvid::workbench {

// Receives the re-flash's progress events on the thread that runs UpdateFW.
using FirmwareProgressSink = std::function<void(const KorvidProgress&)>;

class ProgrammerOperations {
public:
    virtual ~ProgrammerOperations() = default;

    virtual uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) = 0;
    virtual uint8_t DumpMCUInfo(uint8_t* destination) = 0;
    // Called on the firmware-update worker thread; hands each progress event of the
    // re-flash to progress, on that thread.
    virtual uint8_t UpdateFW(const FirmwareProgressSink& progress) = 0;
    virtual uint8_t SaveKPJ(const std::string& path, const JobRecord& job, uint32_t icpFlag) = 0;
    // Whether the programmer the operations open may be opened, and if not why: a
    // KORVID_ACCESS_* cause (KorvidCheckAccess).
    virtual uint32_t ProgrammerAccess() = 0;
    // True when a HID programmer is attached that waits in firmware-update mode
    // (a re-flash was cut short): UpdateFW takes it from there.
    virtual bool ProgrammerWaitsForFirmware() = 0;
};

// The real operations: the library's exports.
class LibraryOperations final : public ProgrammerOperations {
public:
    uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) override;
    uint8_t DumpMCUInfo(uint8_t* destination) override;
    uint8_t UpdateFW(const FirmwareProgressSink& progress) override;
    uint8_t SaveKPJ(const std::string& path, const JobRecord& job, uint32_t icpFlag) override;
    uint32_t ProgrammerAccess() override;
    bool ProgrammerWaitsForFirmware() override;
};

}  // namespace korvid::workbench
