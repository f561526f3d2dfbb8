#include "link/sim/simulated_hid_programmer.h"

#include <algorithm>
#include <numeric>
#include <span>

#include "link/hid_reports.h"

namespace korvid::sim {
namespace {

enum HidCommand : uint8_t {
    kIspStore = 0xC0,
    kIspProgram = 0xC1,
    kIcpStore = 0xC2,
    kIcpProgram = 0xC3,
    kDump = 0xC4,
    kIdentify = 0xC5,
    kModeSwitch = 0xC6
};
constexpr size_t kCommandBytes = 31;
constexpr uint8_t kWorking = 'W';
constexpr uint8_t kChecksumDiffers = 'C';

enum FeatureRequest : uint8_t {
    kSizeAnnouncement = 0x33,
    kChecksumQuery = 0x22,
    kRestartRequest = 0x44
};

uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint16_t byteSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), uint32_t{0}));
}

HidProgramJob parseProgramCommand(const std::vector<uint8_t>& command) {
    HidProgramJob job;
    std::copy_n(command.begin(), kCommandBytes, job.command.begin());
    const uint8_t* c = command.data();
    job.opcode = c[0];
    job.areaAddress = le32(c + 1);
    job.imageLength = le32(c + 5);
    job.checksum = le16(c + 9);
    job.partByte = c[11];
    std::copy_n(c + 12, job.optionBytes.size(), job.optionBytes.begin());
    job.serialFlags = c[20];
    job.maxCount = le16(c + 21);
    job.serialAddress = le32(c + 23);
    job.serialNumber = le32(c + 27);
    return job;
}

std::vector<uint8_t> defaultTargetInformation() {
    std::vector<uint8_t> info(256);
    std::iota(info.begin(), info.end(), uint8_t{0});
    return info;
}

}  // namespace

// One open handle on a simulated HID interface.
class SimulatedHidHandle : public platform::HidDevice {
public:
    explicit SimulatedHidHandle(std::shared_ptr<SimulatedHidProgrammer> device)
        : device_(std::move(device)), generation_(device_->generation_) {
        ++device_->openHandles_;
    }
    ~SimulatedHidHandle() override {
        --device_->openHandles_;
        if (generation_ == device_->generation_) {
            device_->handleClosed();
        }
    }

    platform::ReportLengths reportLengths() const override {
        const HidProgrammerOptions& o = device_->options_;
        return {o.inputReportLength, o.outputReportLength, o.featureReportLength};
    }
    bool writeOutputReport(const uint8_t* report, size_t length) override {
        return device_->writeOutputReport(generation_, report, length);
    }
    platform::ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) override {
        return device_->readInputReport(generation_, report, length, timeoutMs);
    }
    bool setFeatureReport(const uint8_t* report, size_t length) override {
        return device_->setFeatureReport(generation_, report, length);
    }
    bool getFeatureReport(uint8_t* report, size_t length) override {
        return device_->getFeatureReport(generation_, report, length);
    }
    void cancelPendingTransfers() override { ++device_->cancellations_; }

private:
    std::shared_ptr<SimulatedHidProgrammer> device_;
    uint64_t generation_;
};

SimulatedHidProgrammer::SimulatedHidProgrammer(HidProgrammerOptions options, platform::Clock& clock,
                                               std::string path)
    : options_(std::move(options)),
      clock_(clock),
      path_(std::move(path)),
      updateMode_(options_.startInUpdateMode),
      identifier_(options_.firmwareIdentifier) {}

uint16_t SimulatedHidProgrammer::productId() const {
    return updateMode_ ? link::kHidProductFirmwareUpdate : options_.productId;
}

void SimulatedHidProgrammer::unplug() {
    unplugged_ = true;
    present_ = false;
    ++generation_;
}

bool SimulatedHidProgrammer::hostWritesOutputReport(const uint8_t* report, size_t length) {
    return writeOutputReport(generation_, report, length);
}

std::optional<std::vector<uint8_t>> SimulatedHidProgrammer::hostReadsInputReport() {
    std::vector<uint8_t> report(options_.inputReportLength);
    if (readInputReport(generation_, report.data(), report.size(), 0) !=
        platform::ReadResult::Report) {
        return std::nullopt;
    }
    return report;
}

bool SimulatedHidProgrammer::hostSetsFeatureReport(const uint8_t* report, size_t length) {
    return setFeatureReport(generation_, report, length);
}

bool SimulatedHidProgrammer::hostGetsFeatureReport(uint8_t* report, size_t length) {
    return getFeatureReport(generation_, report, length);
}

void SimulatedHidProgrammer::poll() {
    if (present_ || unplugged_ || pollsUntilPresent_ < 0) {
        return;
    }
    if (pollsUntilPresent_ > 0) {
        --pollsUntilPresent_;
        return;
    }
    settleInstallation();
}

void SimulatedHidProgrammer::settleInstallation() {
    if (present_ || unplugged_ || pollsUntilPresent_ < 0) {
        return;
    }
    present_ = true;
    updateMode_ = nextModeIsUpdate_;
}

bool SimulatedHidProgrammer::admitOpen(platform::OpenFailure& failure) {
    if (!present_) {
        failure = platform::OpenFailure::NotFound;
        return false;
    }
    if (options_.refuseOpen) {
        failure = platform::OpenFailure::AccessDenied;
        return false;
    }
    ++opens_;
    return true;
}

bool SimulatedHidProgrammer::reachable(uint64_t generation) {
    if (generation != generation_ || !present_ || options_.hung) {
        return false;
    }
    if (options_.unplugAfterTransfers && transfers_ >= *options_.unplugAfterTransfers) {
        unplug();
        return false;
    }
    ++transfers_;
    return true;
}

void SimulatedHidProgrammer::record(TrafficKind kind, const uint8_t* bytes, size_t length) {
    if (!options_.recordTraffic) {
        return;
    }
    const bool fromHost = kind == TrafficKind::OutputReport || kind == TrafficKind::SetFeature;
    traffic_.push_back({kind, fromHost ? Direction::HostToDevice : Direction::DeviceToHost,
                        std::vector<uint8_t>(bytes, bytes + length)});
}

// The device drops off the bus to re-enumerate in the other mode.
void SimulatedHidProgrammer::leave(bool toUpdateMode) {
    present_ = false;
    ++generation_;
    leaveWhenAnswered_ = false;
    stuck_ = false;
    nextModeIsUpdate_ = toUpdateMode;
    pollsUntilPresent_ = options_.reappearAfterPolls;
    inputReports_.clear();
    command_.clear();
    receiving_.reset();
}

// Without power it forgets what it was taking; it comes up in the mode its firmware
// leaves it in.
void SimulatedHidProgrammer::replug() {
    firmwareSize_.reset();
    firmware_.clear();
    checksumQueried_ = false;
    leave(updateMode_);
}

void SimulatedHidProgrammer::handleClosed() {
    stuck_ = false;
    if (leaveWhenAnswered_) {
        leave(true);
    }
}

bool SimulatedHidProgrammer::writeOutputReport(uint64_t generation, const uint8_t* report,
                                               size_t length) {
    if (!reachable(generation) || length != options_.outputReportLength) {
        return false;
    }
    record(TrafficKind::OutputReport, report, length);
    if (!updateMode_) {
        const std::span<const uint8_t> payload = link::ReportPayload({report, length});
        takeStream(payload.data(), payload.size());
    }
    return true;
}

platform::ReadResult SimulatedHidProgrammer::readInputReport(uint64_t generation, uint8_t* report,
                                                             size_t length, int timeoutMs) {
    if (options_.hung && generation == generation_ && present_) {
        clock_.sleepMs(static_cast<uint32_t>(std::max(timeoutMs, 0)));
        return platform::ReadResult::Timeout;
    }
    if (!reachable(generation)) {
        return platform::ReadResult::Error;
    }
    if (inputReports_.empty() && stuck_) {
        clock_.sleepMs(kStuckWorkingReplyMs);
        queueAnswer({kWorking});
    }
    if (inputReports_.empty()) {
        clock_.sleepMs(static_cast<uint32_t>(std::max(timeoutMs, 0)));
        return platform::ReadResult::Timeout;
    }
    const std::vector<uint8_t> next = std::move(inputReports_.front());
    inputReports_.pop_front();
    std::fill(report, report + length, 0);
    std::copy_n(next.begin(), std::min(length, next.size()), report);
    record(TrafficKind::InputReport, report, length);
    if (leaveWhenAnswered_ && inputReports_.empty()) {
        leave(true);
    }
    return platform::ReadResult::Report;
}

// The payload of the output reports forms one stream: a 31-byte command, then the
// image it announced.
void SimulatedHidProgrammer::takeStream(const uint8_t* bytes, size_t length) {
    while (length > 0) {
        size_t taken = 0;
        if (receiving_) {
            std::vector<uint8_t>& image = receiving_->image;
            taken = std::min<size_t>(length, receiving_->imageLength - image.size());
            image.insert(image.end(), bytes, bytes + taken);
            if (image.size() == receiving_->imageLength) {
                finishImage();
            }
        } else {
            taken = std::min(length, kCommandBytes - command_.size());
            command_.insert(command_.end(), bytes, bytes + taken);
            if (command_.size() == kCommandBytes) {
                handleCommand();
            }
        }
        bytes += taken;
        length -= taken;
    }
}

void SimulatedHidProgrammer::handleCommand() {
    std::vector<uint8_t> command = std::move(command_);
    command_.clear();
    switch (command[0]) {
        case kIdentify:
            queueAnswer({static_cast<uint8_t>(identifier_), static_cast<uint8_t>(identifier_ >> 8),
                         0x00, 0x00});
            break;
        case kDump:
            queueAnswer({options_.commandAck});
            if (options_.commandAck == 'A') {
                queueAnswer(options_.targetInformation.empty() ? defaultTargetInformation()
                                                               : options_.targetInformation);
            }
            break;
        case kIspStore:
        case kIspProgram:
        case kIcpStore:
        case kIcpProgram:
            queueAnswer({options_.commandAck});
            if (options_.commandAck == 'A') {
                receiving_ = parseProgramCommand(command);
                if (receiving_->imageLength == 0) {
                    finishImage();
                }
            }
            break;
        case kModeSwitch:
            ++modeSwitches_;
            if (options_.answerModeSwitch) {
                queueAnswer({options_.modeSwitchAck});
                leaveWhenAnswered_ = options_.modeSwitchAck == 'A';  // a refusal stays
            } else {
                leave(true);
            }
            break;
        default:
            break;  // unknown commands get no answer
    }
}

void SimulatedHidProgrammer::finishImage() {
    HidProgramJob job = std::move(*receiving_);
    receiving_.reset();
    for (unsigned i = 0; i < options_.workingReplies; ++i) {
        queueAnswer({kWorking});
    }
    if (options_.stuckWorking) {
        stuck_ = true;
        return;
    }
    if (options_.corruptChecksum || byteSum(job.image) != job.checksum) {
        queueAnswer({kChecksumDiffers});
        return;
    }
    queueAnswer({options_.finalReply});
    if (options_.finalReply != 'A') {
        return;
    }
    if (job.programsTarget()) {
        targetFlash_ = job.image;
    } else {
        storedJob_ = std::move(job);
    }
}

void SimulatedHidProgrammer::queueAnswer(std::vector<uint8_t> answer) {
    if (options_.truncateRepliesTo && answer.size() > *options_.truncateRepliesTo) {
        answer.resize(*options_.truncateRepliesTo);
    }
    if (answer.empty()) {
        return;
    }
    for (unsigned i = 0; i < options_.emptyReportsBeforeAnswer; ++i) {
        inputReports_.emplace_back(options_.inputReportLength, 0x00);
    }
    bool first = true;
    for (size_t offset = 0; offset < answer.size();) {
        std::vector<uint8_t> report(options_.inputReportLength);
        const size_t n = link::FrameReport(std::span(answer).subspan(offset), report, 0x00);
        if (n == 0) {
            return;  // reports too short to carry anything
        }
        if (first && options_.countByteOverride) {
            report[0] = *options_.countByteOverride;
        }
        first = false;
        inputReports_.push_back(std::move(report));
        offset += n;
    }
}

bool SimulatedHidProgrammer::setFeatureReport(uint64_t generation, const uint8_t* report,
                                              size_t length) {
    if (!reachable(generation) || length != options_.featureReportLength || length < 2) {
        return false;
    }
    const unsigned index = featureTransfers_++;
    if (options_.failFeatureReportAt == index) {
        return false;
    }
    record(TrafficKind::SetFeature, report, length);
    return !updateMode_ || takeFeatureReport(report, length);
}

bool SimulatedHidProgrammer::takeFeatureReport(const uint8_t* report, size_t length) {
    if (firmwareSize_ && firmware_.size() < *firmwareSize_) {
        const size_t n = std::min(length - 1, *firmwareSize_ - firmware_.size());
        firmware_.insert(firmware_.end(), report + 1, report + 1 + n);
        if (options_.replugAfterFirmwareBytes &&
            firmware_.size() >= *options_.replugAfterFirmwareBytes) {
            options_.replugAfterFirmwareBytes.reset();
            replug();
            return false;
        }
        return true;
    }
    switch (report[1]) {
        case kSizeAnnouncement:
            if (length < 8) {
                return false;
            }
            firmwareSize_ = uint32_t{report[5]} << 16 | uint32_t{report[6]} << 8 | report[7];
            firmware_.clear();
            checksumQueried_ = false;
            return true;
        case kChecksumQuery:
            checksumQueried_ = true;
            return true;
        case kRestartRequest:
            if (options_.restartFails) {
                return false;
            }
            if (firmwareSize_ && *firmwareSize_ > 0 && firmware_.size() == *firmwareSize_ &&
                !options_.corruptChecksum) {
                installedFirmware_ = firmware_;
                identifier_ = options_.identifierAfterReflash;
            }
            firmwareSize_.reset();
            leave(false);
            return true;
        default:
            return true;
    }
}

bool SimulatedHidProgrammer::getFeatureReport(uint64_t generation, uint8_t* report, size_t length) {
    if (!reachable(generation) || length != options_.featureReportLength || length < 3) {
        return false;
    }
    if (options_.failFeatureReportAt == featureTransfers_++) {
        return false;
    }
    std::fill(report, report + length, 0);
    if (updateMode_ && checksumQueried_) {
        uint16_t checksum = byteSum(firmware_);
        if (options_.corruptChecksum) {
            checksum ^= 0x0001;
        }
        report[1] = static_cast<uint8_t>(checksum >> 8);
        report[2] = static_cast<uint8_t>(checksum);
    }
    record(TrafficKind::GetFeature, report, length);
    return true;
}

SimulatedHidProgrammer& SimulatedHidBus::attach(HidProgrammerOptions options) {
    devices_.push_back(std::make_shared<SimulatedHidProgrammer>(
        std::move(options), clock_, "sim-hid-" + std::to_string(devices_.size())));
    return *devices_.back();
}

std::vector<platform::HidDeviceInfo> SimulatedHidBus::enumerate() {
    ++enumerations_;
    std::vector<platform::HidDeviceInfo> present;
    for (const auto& device : devices_) {
        device->poll();
        if (device->present()) {
            const HidProgrammerOptions& options = device->options();
            present.push_back(
                {device->path(), options.vendorId, device->productId(), options.location,
                 device->inFirmwareUpdateMode() ? "" : options.serial, !options.refuseOpen});
        }
    }
    return present;
}

std::unique_ptr<platform::HidDevice> SimulatedHidBus::open(const std::string& path,
                                                           platform::OpenFailure& failure) {
    failure = platform::OpenFailure::NotFound;
    for (const auto& device : devices_) {
        if (device->path() == path) {
            if (!device->admitOpen(failure)) {
                return nullptr;
            }
            failure = platform::OpenFailure::None;
            return std::make_unique<SimulatedHidHandle>(device);
        }
    }
    return nullptr;
}

void SimulatedHidBus::waitForPendingInstallations() {
    ++installationWaits_;
    for (const auto& device : devices_) {
        device->settleInstallation();
    }
}

}  // namespace korvid::sim
