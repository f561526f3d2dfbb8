#include "link/trace/tracing_platform.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>

#include "link/trace/trace_names.h"
#include "link/trace/trace_session.h"

namespace korvid::trace {
namespace {

using Recorder = std::shared_ptr<TraceRecorder>;

// What every recording object shares: the trace, and the clock underneath that
// stamps its events (a virtual clock gives the same stamps on every run).
class Recording {
public:
    void bind(Recorder recorder, platform::Clock* clock) {
        recorder_ = std::move(recorder);
        clock_ = clock;
    }
    bool recording() const { return recorder_ && recorder_->running(); }
    uint64_t now() const { return clock_ != nullptr ? clock_->nowUs() : 0; }

    void record(const TraceEvent& event) const {
        if (recording()) {
            recorder_->record(event);
        }
    }

private:
    Recorder recorder_;
    platform::Clock* clock_ = nullptr;
};

class TracingHidDevice final : public platform::HidDevice {
public:
    TracingHidDevice(std::unique_ptr<platform::HidDevice> inner, Recording recording,
                     std::string path)
        : inner_(std::move(inner)), recording_(std::move(recording)), path_(std::move(path)) {}

    ~TracingHidDevice() override {
        const uint64_t t = recording_.now();
        inner_.reset();
        recording_.record(MakeEvent(t, kLinkHid, Direction::None, kClose).add("path", path_));
    }

    platform::ReportLengths reportLengths() const override { return inner_->reportLengths(); }

    bool writeOutputReport(const uint8_t* report, size_t length) override {
        const uint64_t t = recording_.now();
        const bool ok = inner_->writeOutputReport(report, length);
        recordHostReport(t, kOutputReport, report, length, ok);
        return ok;
    }

    platform::ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) override {
        const uint64_t t = recording_.now();
        const platform::ReadResult result = inner_->readInputReport(report, length, timeoutMs);
        if (recording_.recording()) {
            TraceEvent e = MakeEvent(t, kLinkHid, Direction::DeviceToHost, kInputReport);
            e.add("length", std::to_string(length))
                .add("timeout", std::to_string(timeoutMs))
                .add("result", std::string(ReadResultName(result)));
            if (result == platform::ReadResult::Report) {
                e.add("data", HexBytes({report, length}));
            }
            recording_.record(e);
        }
        return result;
    }

    bool setFeatureReport(const uint8_t* report, size_t length) override {
        const uint64_t t = recording_.now();
        const bool ok = inner_->setFeatureReport(report, length);
        recordHostReport(t, kSetFeature, report, length, ok);
        return ok;
    }

    bool getFeatureReport(uint8_t* report, size_t length) override {
        const uint64_t t = recording_.now();
        const bool ok = inner_->getFeatureReport(report, length);
        if (recording_.recording()) {
            TraceEvent e = MakeEvent(t, kLinkHid, Direction::DeviceToHost, kGetFeature);
            e.add("length", std::to_string(length)).add("result", std::string(SuccessName(ok)));
            if (ok) {
                e.add("data", HexBytes({report, length}));
            }
            recording_.record(e);
        }
        return ok;
    }

    void cancelPendingTransfers() override {
        const uint64_t t = recording_.now();
        inner_->cancelPendingTransfers();
        recording_.record(MakeEvent(t, kLinkHid, Direction::None, kCancel));
    }

private:
    // An output or feature report the host sent: the bytes as they were offered.
    void recordHostReport(uint64_t t, std::string_view kind, const uint8_t* report, size_t length,
                          bool ok) {
        if (recording_.recording()) {
            recording_.record(MakeEvent(t, kLinkHid, Direction::HostToDevice, kind)
                                  .add("length", std::to_string(length))
                                  .add("result", std::string(SuccessName(ok)))
                                  .add("data", HexBytes({report, length})));
        }
    }

    std::unique_ptr<platform::HidDevice> inner_;
    Recording recording_;
    std::string path_;
};

class TracingHidBus final : public platform::HidBus {
public:
    void bind(platform::HidBus* inner, const Recording& recording) {
        inner_ = inner;
        recording_ = recording;
    }

    std::vector<platform::HidDeviceInfo> enumerate() override {
        const uint64_t t = recording_.now();
        std::vector<platform::HidDeviceInfo> devices = inner_->enumerate();
        if (recording_.recording()) {
            TraceEvent e = MakeEvent(t, kLinkHid, Direction::None, kEnumerate);
            e.add("devices", std::to_string(devices.size()));
            for (const platform::HidDeviceInfo& device : devices) {
                e.records.push_back({{"path", device.path},
                                     {"vendor", IdName(device.vendorId)},
                                     {"product", IdName(device.productId)},
                                     {"location", device.location},
                                     {"serial", device.serial},
                                     {"accessible", std::string(YesNoName(device.accessible))}});
            }
            recording_.record(e);
        }
        return devices;
    }

    std::unique_ptr<platform::HidDevice> open(const std::string& path,
                                              platform::OpenFailure& failure) override {
        const uint64_t t = recording_.now();
        std::unique_ptr<platform::HidDevice> device = inner_->open(path, failure);
        if (!recording_.recording()) {
            return device;
        }
        TraceEvent e = MakeEvent(t, kLinkHid, Direction::None, kOpen);
        e.add("path", path)
            .add("result",
                 std::string(OpenResultName(device ? platform::OpenFailure::None : failure)));
        if (!device) {
            recording_.record(e);
            return nullptr;
        }
        const platform::ReportLengths lengths = device->reportLengths();
        e.add("input", std::to_string(lengths.input))
            .add("output", std::to_string(lengths.output))
            .add("feature", std::to_string(lengths.feature));
        recording_.record(e);
        return std::make_unique<TracingHidDevice>(std::move(device), recording_, path);
    }

    void waitForPendingInstallations() override {
        recording_.record(
            MakeEvent(recording_.now(), kLinkHid, Direction::None, kWaitInstallations));
        inner_->waitForPendingInstallations();
    }

private:
    platform::HidBus* inner_ = nullptr;
    Recording recording_;
};

class TracingPipeDevice final : public platform::PipeDevice {
public:
    TracingPipeDevice(std::unique_ptr<platform::PipeDevice> inner, Recording recording)
        : inner_(std::move(inner)), recording_(std::move(recording)) {}

    ~TracingPipeDevice() override {
        const uint64_t t = recording_.now();
        inner_.reset();
        recording_.record(MakeEvent(t, kLinkPipe, Direction::None, kClose));
    }

    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length,
                                      uint32_t timeoutMs, size_t& moved) override {
        const uint64_t t = recording_.now();
        const platform::TransferResult result =
            inner_->transfer(pipe, data, length, timeoutMs, moved);
        if (recording_.recording()) {
            const bool write = pipe == platform::Pipe::Write;
            TraceEvent e =
                MakeEvent(t, kLinkPipe, write ? Direction::HostToDevice : Direction::DeviceToHost,
                          write ? kWrite : kRead);
            e.add("length", std::to_string(length))
                .add("timeout", std::to_string(timeoutMs))
                .add("result", std::string(TransferResultName(result)))
                .add("moved", std::to_string(moved));
            // A write shows what the host offered, a read what arrived.
            const size_t shown = write ? length : std::min(moved, length);
            if (shown > 0) {
                e.add("data", HexBytes({data, shown}));
            }
            recording_.record(e);
        }
        return result;
    }

    void resetPipe(platform::Pipe pipe) override {
        const uint64_t t = recording_.now();
        inner_->resetPipe(pipe);
        recording_.record(MakeEvent(t, kLinkPipe, Direction::None, kReset)
                              .add("pipe", std::string(PipeName(pipe))));
    }

private:
    std::unique_ptr<platform::PipeDevice> inner_;
    Recording recording_;
};

class TracingPipeBus final : public platform::PipeBus {
public:
    void bind(platform::PipeBus* inner, const Recording& recording) {
        inner_ = inner;
        recording_ = recording;
    }

    std::vector<platform::PipeDeviceInfo> enumerate(uint16_t vendorId,
                                                    uint16_t productId) override {
        const uint64_t t = recording_.now();
        std::vector<platform::PipeDeviceInfo> devices = inner_->enumerate(vendorId, productId);
        if (recording_.recording()) {
            TraceEvent e = MakeEvent(t, kLinkPipe, Direction::None, kEnumerate);
            e.add("vendor", IdName(vendorId))
                .add("product", IdName(productId))
                .add("devices", std::to_string(devices.size()));
            for (const platform::PipeDeviceInfo& device : devices) {
                e.records.push_back({{"location", device.location},
                                     {"serial", device.serial},
                                     {"node", device.node},
                                     {"accessible", std::string(YesNoName(device.accessible))}});
            }
            recording_.record(e);
        }
        return devices;
    }

    std::unique_ptr<platform::PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                               platform::OpenFailure& failure) override {
        const uint64_t t = recording_.now();
        std::unique_ptr<platform::PipeDevice> device =
            inner_->open(vendorId, productId, n, failure);
        if (!recording_.recording()) {
            return device;
        }
        recording_.record(MakeEvent(t, kLinkPipe, Direction::None, kOpen)
                              .add("vendor", IdName(vendorId))
                              .add("product", IdName(productId))
                              .add("index", std::to_string(n))
                              .add("result", std::string(OpenResultName(
                                                 device ? platform::OpenFailure::None : failure))));
        if (!device) {
            return nullptr;
        }
        return std::make_unique<TracingPipeDevice>(std::move(device), recording_);
    }

private:
    platform::PipeBus* inner_ = nullptr;
    Recording recording_;
};

// Pauses are written before they begin, so a trace cut short by a hang or a crash
// shows what the host was waiting for.
class TracingClock final : public platform::Clock {
public:
    void bind(platform::Clock* inner, const Recording& recording) {
        inner_ = inner;
        recording_ = recording;
    }

    void sleepMs(uint32_t milliseconds) override {
        recording_.record(MakeEvent(recording_.now(), kLinkClock, Direction::None, kSleep)
                              .add("ms", std::to_string(milliseconds)));
        inner_->sleepMs(milliseconds);
    }
    void busyWaitUs(uint32_t microseconds) override {
        recording_.record(MakeEvent(recording_.now(), kLinkClock, Direction::None, kBusyWait)
                              .add("us", std::to_string(microseconds)));
        inner_->busyWaitUs(microseconds);
    }
    uint64_t nowUs() override { return inner_->nowUs(); }

private:
    platform::Clock* inner_ = nullptr;
    Recording recording_;
};

// The recording platform; rebound to the current base platform and trace on every
// use, since tests swap the base.
struct TracingPlatform {
    TracingHidBus hid;
    TracingPipeBus pipe;
    TracingClock clock;
    platform::Platform platform;

    platform::Platform& bind(platform::Platform& base, Recorder recorder) {
        Recording recording;
        recording.bind(std::move(recorder), base.clock);
        hid.bind(base.hid, recording);
        pipe.bind(base.pipe, recording);
        clock.bind(base.clock, recording);
        platform.hid = base.hid != nullptr ? &hid : nullptr;
        platform.pipe = base.pipe != nullptr ? &pipe : nullptr;
        platform.clock = base.clock != nullptr ? &clock : nullptr;
        platform.treeUsbDevices = base.treeUsbDevices;
        return platform;
    }
};

}  // namespace

platform::Platform& Traced(platform::Platform& base) {
    Recorder recorder = RunningTrace();
    if (!recorder) {
        return base;
    }
    static TracingPlatform tracing;
    return tracing.bind(base, std::move(recorder));
}

}  // namespace korvid::trace
