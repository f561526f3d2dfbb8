#include "link/backends/hidapi_device.h"

#include <hidapi/hidapi.h>

#include <algorithm>

#include "link/backends/report_layout.h"

namespace korvid::platform {

namespace {

// hidapi reports the bytes moved as an int, or -1 on failure.
bool movedAll(int moved, size_t length) {
    return moved >= 0 && static_cast<size_t>(moved) == length;
}

}  // namespace

HidapiDevice::HidapiDevice(hid_device* handle, const ReportDescriptorSummary& summary)
    : handle_(handle), summary_(summary) {}

HidapiDevice::~HidapiDevice() {
    hid_close(handle_);
}

bool HidapiDevice::writeOutputReport(const uint8_t* report, size_t length) {
    return length > 0 && movedAll(hid_write(handle_, report, length), length);
}

ReadResult HidapiDevice::readInputReport(uint8_t* report, size_t length, int timeoutMs) {
    const auto read = [this, timeoutMs](uint8_t* buffer, size_t capacity) {
        return hid_read_timeout(handle_, buffer, capacity, std::max(timeoutMs, 0));
    };
    return readInputInWindowsLayout(read, summary_.usesReportIds, summary_.lengths.input, report,
                                    length);
}

bool HidapiDevice::setFeatureReport(const uint8_t* report, size_t length) {
    return length > 0 && movedAll(hid_send_feature_report(handle_, report, length), length);
}

bool HidapiDevice::getFeatureReport(uint8_t* report, size_t length) {
    const auto get = [this](uint8_t* buffer, size_t capacity) {
        return hid_get_feature_report(handle_, buffer, capacity);
    };
    return getFeatureInWindowsLayout(get, report, length);
}

}  // namespace korvid::platform
