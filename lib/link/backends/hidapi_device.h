// One opened hidraw interface behind the HidDevice operations, in the Windows
// report layout: byte 0 of every buffer is the report-identifier position.
#pragma once

#include "link/backends/report_descriptor.h"
#include "link/platform.h"

struct hid_device_;

namespace korvid::platform {

class HidapiDevice final : public HidDevice {
public:
    // Takes ownership of the handle; the summary comes from the device's own
    // report descriptor.
    HidapiDevice(hid_device_* handle, const ReportDescriptorSummary& summary);
    ~HidapiDevice() override;
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    ReportLengths reportLengths() const override { return summary_.lengths; }

    // Byte 0 goes to the kernel as it stands: it drops a 0 there (no report
    // identifier) and sends any other value with the report.
    bool writeOutputReport(const uint8_t* report, size_t length) override;

    // A device that numbers its reports sends the identifier as byte 0; for one
    // that does not, the report goes to bytes 1 … and byte 0 is 0, as on Windows.
    // Short reports are padded with zeros.
    ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) override;

    bool setFeatureReport(const uint8_t* report, size_t length) override;
    // A shorter answer than `length` is padded with zeros.
    bool getFeatureReport(uint8_t* report, size_t length) override;

    // Nothing is ever pending: reads return within their time-out and writes
    // within the kernel's USB time-out, both before control comes back here.
    void cancelPendingTransfers() override {}

private:
    hid_device_* handle_;
    ReportDescriptorSummary summary_;
};

}  // namespace korvid::platform
