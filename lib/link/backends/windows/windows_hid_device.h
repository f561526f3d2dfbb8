// One opened HID interface on Windows: reports through overlapped ReadFile and
// WriteFile on the interface's handle, feature reports through the HID class
// services. Windows' report buffers already have the layout of the seam: byte 0
// is the report identifier, and every report is as long as the capabilities say.
#pragma once

#include <windows.h>

#include "link/backends/windows/unique_handle.h"
#include "link/platform.h"

namespace korvid::platform {

class WindowsHidDevice final : public HidDevice {
public:
    // A report write waits at most this long, then it is cancelled.
    static constexpr uint32_t kWriteTimeoutMs = 5000;

    // Takes a handle opened for overlapped reading and writing, and the report
    // lengths of the interface's capabilities.
    WindowsHidDevice(UniqueHandle handle, const ReportLengths& lengths);

    ReportLengths reportLengths() const override { return lengths_; }

    // Writes exactly `length` bytes; Windows takes only whole output reports.
    bool writeOutputReport(const uint8_t* report, size_t length) override;

    // Reads one input report into a buffer of at least the interface's input
    // report length, then copies `length` bytes (zeros beyond the report). A read
    // still pending after timeoutMs is cancelled (CancelIo) and awaited.
    ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) override;

    bool setFeatureReport(const uint8_t* report, size_t length) override;
    bool getFeatureReport(uint8_t* report, size_t length) override;

    // CancelIo on the handle. Every transfer of this class awaits its own end, so
    // none is pending here; the call is kept for what the system may still hold.
    void cancelPendingTransfers() override;

private:
    UniqueHandle handle_;
    ReportLengths lengths_;
};

}  // namespace korvid::platform
