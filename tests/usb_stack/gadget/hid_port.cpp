#include "hid_port.h"

#include <algorithm>
#include <cstdio>

#include "link/hid_link.h"
#include "usb_descriptors.h"

namespace korvid::gadget {
namespace {

constexpr size_t kNormalMode = 0;
constexpr size_t kUpdateMode = 1;
// Report buffers in the Windows layout: the report-identifier byte, then 64 bytes.
constexpr size_t kReportBytes = 65;

constexpr uint8_t kGetDescriptor = 0x06;
constexpr uint8_t kGetReport = 0x01;
constexpr uint8_t kSetReport = 0x09;
constexpr uint8_t kSetIdle = 0x0A;
constexpr uint8_t kSetProtocol = 0x0B;
constexpr uint8_t kHidDescriptor = 0x21;
constexpr uint8_t kReportDescriptor = 0x22;
constexpr uint8_t kOutputReport = 2;
constexpr uint8_t kFeatureReport = 3;

bool numbered(size_t mode) {
    return mode == kNormalMode;
}

Bytes reportDescriptor(size_t mode) {
    return numbered(mode) ? NormalModeReportDescriptor() : UpdateModeReportDescriptor();
}

// A report as the kernel moves it, in the Windows layout: without report
// identifiers the kernel carries none, and byte 0 is 0.
Bytes windowsLayout(uint8_t reportId, const uint8_t* data, size_t length) {
    Bytes report(kReportBytes, 0);
    const size_t offset = reportId == 0 ? 1 : 0;
    std::copy_n(data, std::min(length, kReportBytes - offset), report.begin() + offset);
    return report;
}

GadgetMode modeOf(size_t mode, const std::string& serial) {
    const Bytes interface = HidInterfaceDescriptors(reportDescriptor(mode).size());
    DeviceIdentity identity{
        link::kVendorId, numbered(mode) ? link::kHidProductNormal : link::kHidProductFirmwareUpdate,
        "Vostrel", "USB ISP Programmer", numbered(mode) ? serial : ""};
    return {identity, FunctionFsDescriptors(interface, interface),
            FunctionFsStrings("ISP programmer HID interface")};
}

}  // namespace

HidProgrammerPort::HidProgrammerPort(sim::SimulatedHidProgrammer& programmer)
    : programmer_(programmer) {}

std::vector<GadgetMode> HidProgrammerPort::Modes(const std::string& serial) {
    return {modeOf(kNormalMode, serial), modeOf(kUpdateMode, serial)};
}

size_t HidProgrammerPort::outTransferBytes(size_t mode) const {
    return numbered(mode) ? kReportBytes : kReportBytes - 1;
}

void HidProgrammerPort::hostSent(size_t mode, const uint8_t* data, size_t length) {
    const Bytes report =
        numbered(mode) ? windowsLayout(data[0], data, length) : windowsLayout(0, data, length);
    std::lock_guard guard(lock_);
    programmer_.hostWritesOutputReport(report.data(), report.size());
}

std::optional<Bytes> HidProgrammerPort::nextForHost(size_t mode) {
    std::lock_guard guard(lock_);
    std::optional<Bytes> report = programmer_.hostReadsInputReport();
    if (report && !numbered(mode)) {
        report->erase(report->begin());
    }
    return report;
}

void HidProgrammerPort::control(size_t mode, const usb_ctrlrequest& request, FunctionFs& function) {
    const uint8_t type = request.bRequestType & USB_TYPE_MASK;
    const uint8_t descriptor = static_cast<uint8_t>(request.wValue >> 8);
    if (type == USB_TYPE_STANDARD && request.bRequest == kGetDescriptor) {
        if (descriptor == kReportDescriptor) {
            const Bytes bytes = reportDescriptor(mode);
            function.sendData(request, bytes.data(), bytes.size());
        } else if (descriptor == kHidDescriptor) {
            const Bytes interface = HidInterfaceDescriptors(reportDescriptor(mode).size());
            function.sendData(request, interface.data() + 9, 9);
        } else {
            function.stall(request);
        }
        return;
    }
    if (type != USB_TYPE_CLASS) {
        function.stall(request);
        return;
    }
    switch (request.bRequest) {
        case kSetIdle:
        case kSetProtocol:
            function.receiveData(request);
            return;
        case kSetReport:
            setReport(mode, request, function);
            return;
        case kGetReport:
            getReport(mode, request, function);
            return;
        default:
            function.stall(request);
    }
}

void HidProgrammerPort::setReport(size_t mode, const usb_ctrlrequest& request,
                                  FunctionFs& function) {
    const auto data = function.receiveData(request);
    if (!data || data->empty()) {
        return;
    }
    const auto reportType = static_cast<uint8_t>(request.wValue >> 8);
    const auto reportId = static_cast<uint8_t>(request.wValue);
    // With numbered reports the data stage starts with the report identifier.
    const Bytes report = numbered(mode) ? windowsLayout(reportId, data->data(), data->size())
                                        : windowsLayout(0, data->data(), data->size());
    std::lock_guard guard(lock_);
    bool taken = false;
    if (reportType == kFeatureReport) {
        taken = programmer_.hostSetsFeatureReport(report.data(), report.size());
    } else if (reportType == kOutputReport) {
        taken = programmer_.hostWritesOutputReport(report.data(), report.size());
    }
    if (!taken) {
        // The data stage is acknowledged before the programmer sees it: the refusal
        // cannot reach the host any more.
        std::fprintf(stderr, "gadget: the programmer refused a report set by the host\n");
    }
}

void HidProgrammerPort::getReport(size_t mode, const usb_ctrlrequest& request,
                                  FunctionFs& function) {
    const auto reportType = static_cast<uint8_t>(request.wValue >> 8);
    const auto reportId = static_cast<uint8_t>(request.wValue);
    Bytes report(kReportBytes, 0);
    report[0] = reportId;
    bool answered = false;
    if (reportType == kFeatureReport) {
        std::lock_guard guard(lock_);
        answered = programmer_.hostGetsFeatureReport(report.data(), report.size());
    }
    if (!answered) {
        function.stall(request);
        return;
    }
    const size_t offset = numbered(mode) ? 0 : 1;
    function.sendData(request, report.data() + offset, report.size() - offset);
}

BusState HidProgrammerPort::busState() {
    std::lock_guard guard(lock_);
    return {programmer_.present(), programmer_.inFirmwareUpdateMode() ? kUpdateMode : kNormalMode,
            programmer_.comesBack()};
}

void HidProgrammerPort::reappear() {
    std::lock_guard guard(lock_);
    programmer_.reappear();
}

}  // namespace korvid::gadget
