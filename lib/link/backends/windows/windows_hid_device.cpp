#include "link/backends/windows/windows_hid_device.h"

// The HID class services' header needs the basic Windows types first.
// mingw-w64's hidsdi.h declares C functions without saying so to C++.
extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "link/backends/windows/overlapped_transfer.h"

namespace korvid::platform {

WindowsHidDevice::WindowsHidDevice(UniqueHandle handle, const ReportLengths& lengths)
    : handle_(std::move(handle)), lengths_(lengths) {}

bool WindowsHidDevice::writeOutputReport(const uint8_t* report, size_t length) {
    // WriteFile may not be handed a const buffer; the copy also outlives a cancel.
    std::vector<uint8_t> buffer(report, report + length);
    size_t moved = 0;
    DWORD error = 0;
    return overlappedTransfer(handle_.get(), Direction::Write, buffer.data(), buffer.size(),
                              kWriteTimeoutMs, moved, error) == TransferResult::Done &&
           moved == length;
}

ReadResult WindowsHidDevice::readInputReport(uint8_t* report, size_t length, int timeoutMs) {
    std::vector<uint8_t> buffer(std::max(length, lengths_.input), 0);
    size_t moved = 0;
    DWORD error = 0;
    const TransferResult result =
        overlappedTransfer(handle_.get(), Direction::Read, buffer.data(), buffer.size(),
                           static_cast<uint32_t>(std::max(timeoutMs, 0)), moved, error);
    if (result == TransferResult::Timeout) {
        return ReadResult::Timeout;
    }
    if (result != TransferResult::Done || moved == 0) {
        return ReadResult::Error;
    }
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(std::min(moved, buffer.size())),
              buffer.end(), 0);
    std::memcpy(report, buffer.data(), length);
    return ReadResult::Report;
}

bool WindowsHidDevice::setFeatureReport(const uint8_t* report, size_t length) {
    std::vector<uint8_t> buffer(report, report + length);
    return HidD_SetFeature(handle_.get(), buffer.data(), static_cast<ULONG>(buffer.size())) != 0;
}

bool WindowsHidDevice::getFeatureReport(uint8_t* report, size_t length) {
    // The class driver fills a buffer of the interface's feature length; the
    // identifier in byte 0 says which report to fetch.
    std::vector<uint8_t> buffer(std::max(length, lengths_.feature), 0);
    if (length > 0) {
        buffer[0] = report[0];
    }
    if (!HidD_GetFeature(handle_.get(), buffer.data(), static_cast<ULONG>(buffer.size()))) {
        return false;
    }
    std::memcpy(report, buffer.data(), length);
    return true;
}

void WindowsHidDevice::cancelPendingTransfers() {
    CancelIo(handle_.get());
}

}  // namespace korvid::platform
