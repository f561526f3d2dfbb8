// Programmer operations for tests: records every call with a copy of the job and
// returns scripted result codes (RC_OK once the script is used up); UpdateFW also
// reports scripted progress events.
#pragma once

#include "ProgrammerOperations.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace korvid::workbench::testing {

class FakeProgrammer : public ProgrammerOperations {
public:
    struct Call {
        explicit Call(std::string name) : function(std::move(name)) {}
        std::string function;
        JobRecord job{};            // as handed over, codeBuffer pointing nowhere useful
        std::vector<uint8_t> code;  // the codeLength bytes of codeBuffer
        uint32_t icpMode = 0;       // UpdateMCU's icpMode, SaveKPJ's icpFlag
        uint32_t toTarget = 0;
        std::string path;
    };

    uint8_t UpdateMCU(JobRecord& job, uint32_t icpMode, uint32_t toTarget) override {
        During();
        Call call = Record("UpdateMCU", job);
        call.icpMode = icpMode;
        call.toTarget = toTarget;
        return Finish(std::move(call), updateResults);
    }
    uint8_t DumpMCUInfo(uint8_t* destination) override {
        During();
        const uint8_t result = Finish(Call("DumpMCUInfo"), dumpResults);
        if (result == RC_OK) {
            std::copy(dumpBytes.begin(), dumpBytes.end(), destination);
        }
        return result;
    }
    // Reports firmwareProgress to progress, on the worker thread as the library would.
    uint8_t UpdateFW(const FirmwareProgressSink& progress) override {
        for (const KorvidProgress& event : firmwareProgress) {
            progress(event);
        }
        if (duringFirmwareUpdate) {
            duringFirmwareUpdate();
        }
        return Finish(Call("UpdateFW"), firmwareResults);
    }
    uint8_t SaveKPJ(const std::string& path, const JobRecord& job, uint32_t icpFlag) override {
        Call call = Record("SaveKPJ", job);
        call.path = path;
        call.icpMode = icpFlag;
        return Finish(std::move(call), saveResults);
    }
    uint32_t ProgrammerAccess() override { return access; }
    bool ProgrammerWaitsForFirmware() override { return waitsForFirmware; }

    std::vector<std::string> Functions() const {
        std::vector<std::string> names;
        for (const Call& call : calls) {
            names.push_back(call.function);
        }
        return names;
    }
    std::vector<Call> CallsOf(const std::string& function) const {
        std::vector<Call> found;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                     [&](const Call& call) { return call.function == function; });
        return found;
    }

    std::deque<uint8_t> updateResults, dumpResults, firmwareResults, saveResults;
    std::vector<uint8_t> dumpBytes = std::vector<uint8_t>(256);
    uint32_t access = KORVID_ACCESS_NOT_ATTACHED;  // what ProgrammerAccess answers
    bool waitsForFirmware = false;
    std::vector<KorvidProgress> firmwareProgress;  // reported by every UpdateFW
    std::function<void()> duringCall;              // runs inside UpdateMCU and DumpMCUInfo
    std::function<void()> duringFirmwareUpdate;    // runs inside UpdateFW, on its worker thread
    std::vector<Call> calls;

private:
    void During() {
        if (duringCall) {
            duringCall();
        }
    }
    static Call Record(const char* function, const JobRecord& job) {
        Call call(function);
        call.job = job;
        if (job.codeLength != 0 && job.codeBuffer != nullptr) {
            call.code.assign(job.codeBuffer, job.codeBuffer + job.codeLength);
        }
        return call;
    }
    // UpdateFW runs on the worker thread: the record is guarded.
    uint8_t Finish(Call call, std::deque<uint8_t>& script) {
        const std::lock_guard lock(mutex_);
        calls.push_back(std::move(call));
        if (script.empty()) {
            return RC_OK;
        }
        const uint8_t result = script.front();
        script.pop_front();
        return result;
    }

    std::mutex mutex_;
};

}  // namespace korvid::workbench::testing
