#include "link/hid_link.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "link/hid_reports.h"
#include "link/platform.h"
#include "link/selection.h"

namespace korvid::link {
namespace {

// The one HID programmer link of the library.
struct HidLink {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::unique_ptr<platform::HidDevice> device;
    std::string location;
    uint8_t featureReportLength = 0;
    uint8_t inputReportLength = 0;
    uint8_t outputReportLength = 0;
};

HidLink& theLink() {
    static HidLink link;
    return link;
}

uint8_t lowByte(size_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}

// Stores the report lengths of a freshly opened device; false when its input or
// output reports cannot carry a count byte and a payload.
bool takeReportLengths(HidLink& link, const platform::ReportLengths& lengths) {
    link.inputReportLength = lowByte(lengths.input);
    link.outputReportLength = lowByte(lengths.output);
    link.featureReportLength = lowByte(lengths.feature);
    return link.inputReportLength >= 2 && link.outputReportLength >= 2;
}

void resetLink(HidLink& link) {
    link.device.reset();
    link.location.clear();
    link.featureReportLength = 0;
    link.inputReportLength = 0;
    link.outputReportLength = 0;
}

}  // namespace

int OpenHidProgrammer(uint16_t vendorId, uint16_t productId, std::string_view location) {
    HidLink& link = theLink();
    resetLink(link);
    link.vendorId = vendorId;
    link.productId = productId;
    platform::HidBus* bus = platform::current().hid;
    if (bus == nullptr) {
        return 0;
    }
    for (const platform::HidDeviceInfo& info : bus->enumerate()) {
        if (info.vendorId != vendorId || info.productId != productId ||
            (!location.empty() && info.location != location) ||
            !IsSelected({info.location, info.serial, productId == kHidProductFirmwareUpdate})) {
            continue;
        }
        platform::OpenFailure failure = platform::OpenFailure::None;
        std::unique_ptr<platform::HidDevice> device = bus->open(info.path, failure);
        if (!device) {
            continue;
        }
        if (takeReportLengths(link, device->reportLengths())) {
            link.device = std::move(device);
            link.location = info.location;
            return 1;
        }
        resetLink(link);
    }
    return 0;
}

int CloseHidProgrammer() {
    resetLink(theLink());
    return 1;
}

const std::string& openedHidLocation() {
    return theLink().location;
}

uint8_t featureReportLength() {
    return theLink().featureReportLength;
}
uint8_t inputReportLength() {
    return theLink().inputReportLength;
}
uint8_t outputReportLength() {
    return theLink().outputReportLength;
}

int WriteOutputReport(const uint8_t* report) {
    HidLink& link = theLink();
    if (!link.device) {
        return 0;
    }
    return link.device->writeOutputReport(report, link.outputReportLength) ? 1 : 0;
}

int ReadInputReport(uint8_t* report) {
    HidLink& link = theLink();
    if (!link.device) {
        return 0;
    }
    for (unsigned attempt = 0; attempt < kMaxEmptyReports; ++attempt) {
        const platform::ReadResult result =
            link.device->readInputReport(report, link.inputReportLength, kReportReadTimeoutMs);
        if (result != platform::ReadResult::Report) {
            return 0;
        }
        if (report[0] != 0) {
            return 1;
        }
    }
    return 0;
}

size_t WriteReports(const uint8_t* bytes, size_t length, size_t reportLength,
                    const SentObserver& afterReport) {
    if (!theLink().device || length == 0) {
        return 0;
    }
    // The platform writes outputReportLength() bytes per report: a longer frame
    // would lose payload, a shorter one is padded with filler.
    std::vector<uint8_t> report(outputReportLength(), kOutputReportFiller);
    const std::span<uint8_t> frame(report.data(), std::min(reportLength, report.size()));
    const std::span<const uint8_t> stream(bytes, length);
    size_t sent = 0;
    while (sent < length) {
        const size_t n = FrameReport(stream.subspan(sent), frame);
        if (n == 0 || WriteOutputReport(report.data()) == 0) {
            break;
        }
        sent += n;
        if (afterReport) {
            afterReport(sent);
        }
    }
    return sent;
}

size_t ReadReports(uint8_t* destination, size_t length) {
    const size_t reportBytes = inputReportLength();
    if (!theLink().device || length == 0) {
        return 0;
    }
    std::vector<uint8_t> report(reportBytes);
    size_t received = 0;
    while (received < length) {
        std::fill(report.begin(), report.end(), 0xFF);
        report[0] = lowByte(std::min(length - received, ReportPayloadCapacity(reportBytes)));
        if (ReadInputReport(report.data()) == 0) {
            break;
        }
        const std::span<const uint8_t> payload = ReportPayload(report);
        const size_t stored = std::min(payload.size(), length - received);
        std::copy_n(payload.begin(), stored, destination + received);
        received += payload.size();
    }
    return received;
}

bool SetFeatureReport(const uint8_t* report) {
    HidLink& link = theLink();
    return link.device && link.featureReportLength != 0 &&
           link.device->setFeatureReport(report, link.featureReportLength);
}

bool GetFeatureReport(uint8_t* report) {
    HidLink& link = theLink();
    return link.device && link.featureReportLength != 0 &&
           link.device->getFeatureReport(report, link.featureReportLength);
}

void CancelHidTransfers() {
    if (theLink().device) {
        theLink().device->cancelPendingTransfers();
    }
}

void WaitNoPendingInstallations() {
    if (platform::HidBus* bus = platform::current().hid) {
        bus->waitForPendingInstallations();
    }
}

}  // namespace korvid::link
