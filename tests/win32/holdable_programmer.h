// The recording programmer of the dialog tests as the Win32 dialogs meet it: a
// dump fills the buffer with 0x5A, a re-flash reports a quarter of 4096 bytes and
// can be held on its worker thread until the test lets it go on.
#pragma once

#include "fake_programmer.h"

#include <windows.h>

namespace korvid::win32::ui_test {

class HoldableProgrammer final : public workbench::testing::FakeProgrammer {
public:
    HoldableProgrammer() : firmwareRelease_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
        dumpBytes.assign(256, 0x5A);
        firmwareProgress = {{KORVID_OPERATION_UPDATE_FW, KORVID_PHASE_REFLASH_DATA, 1024, 4096}};
        duringFirmwareUpdate = [this] { WaitForSingleObject(firmwareRelease_, INFINITE); };
    }
    ~HoldableProgrammer() override { CloseHandle(firmwareRelease_); }
    HoldableProgrammer(const HoldableProgrammer&) = delete;
    HoldableProgrammer& operator=(const HoldableProgrammer&) = delete;

    // While held, UpdateFW waits until released.
    void HoldFirmwareUpdate() { ResetEvent(firmwareRelease_); }
    void ReleaseFirmwareUpdate() { SetEvent(firmwareRelease_); }

private:
    HANDLE firmwareRelease_;
};

}  // namespace korvid::win32::ui_test
