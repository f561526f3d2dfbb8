// A programmer for the dialog tests: records the jobs and calls the workbench
// hands to the library and answers with scripted result codes.
#pragma once

#include "ProgrammerOperations.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <vector>

namespace korvid::win32::ui_test {

struct RecordedUpdate {
    JobRecord job{};
    std::vector<uint8_t> code;  // the code buffer as handed over
    uint32_t icpMode = 0;
    uint32_t toTarget = 0;
};

class FakeOperations final : public workbench::ProgrammerOperations {
public:
    FakeOperations() : firmwareRelease_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~FakeOperations() override { CloseHandle(firmwareRelease_); }
    FakeOperations(const FakeOperations&) = delete;
    FakeOperations& operator=(const FakeOperations&) = delete;

    // Results of the next calls, in order; RC_OK once they are used up.
    std::deque<uint8_t> updateResults;
    std::deque<uint8_t> dumpResults;
    uint8_t firmwareResult = RC_OK;
    std::vector<uint8_t> dumpBytes = std::vector<uint8_t>(256, 0x5A);

    std::vector<RecordedUpdate> updates;
    int dumps = 0;
    int firmwareUpdates = 0;

    // While held, UpdateFW waits (on its worker thread) until Release().
    void HoldFirmwareUpdate() { ResetEvent(firmwareRelease_); }
    void ReleaseFirmwareUpdate() { SetEvent(firmwareRelease_); }

    uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) override {
        RecordedUpdate update;
        update.job = job;
        if (job.codeBuffer != nullptr) {
            update.code.assign(job.codeBuffer, job.codeBuffer + job.codeLength);
        }
        update.job.codeBuffer = nullptr;
        update.icpMode = icpMode;
        update.toTarget = toTarget;
        updates.push_back(std::move(update));
        return Next(updateResults);
    }

    uint8_t DumpMCUInfo(uint8_t* destination) override {
        ++dumps;
        const uint8_t result = Next(dumpResults);
        if (result == RC_OK) {
            std::copy(dumpBytes.begin(), dumpBytes.end(), destination);
        }
        return result;
    }

    uint8_t UpdateFW(const workbench::FirmwareProgressSink& progress) override {
        ++firmwareUpdates;
        KorvidProgress event{};
        event.phase = KORVID_PHASE_REFLASH_DATA;
        event.total = 4096;
        event.done = 1024;
        progress(event);
        WaitForSingleObject(firmwareRelease_, INFINITE);
        return firmwareResult;
    }

    uint8_t SaveKPJ(const std::string&, const JobRecord&, uint32_t) override { return RC_OK; }
    uint32_t ProgrammerAccess() override { return KORVID_ACCESS_OPENS; }
    bool ProgrammerWaitsForFirmware() override { return false; }

private:
    static uint8_t Next(std::deque<uint8_t>& results) {
        if (results.empty()) {
            return RC_OK;
        }
        const uint8_t result = results.front();
        results.pop_front();
        return result;
    }

    HANDLE firmwareRelease_;
};

}  // namespace korvid::win32::ui_test
