#include "link/replay/replay_platform.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "link/trace/trace_names.h"

namespace korvid::replay {
namespace {

using trace::Direction;
using trace::TraceEvent;

// The host's side of an event, to be matched with the recording.
TraceEvent hostEvent(std::string_view link, Direction direction, std::string_view kind) {
    return trace::MakeEvent(0, link, direction, kind);
}

std::optional<size_t> parseDecimal(std::string_view text) {
    size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The recorded value of a field of the event just taken, read with `parse`; the
// script fails when it is missing or unreadable.
template <typename Parse>
auto recorded(TraceScript& script, const TraceEvent& event, std::string_view key, Parse parse)
    -> decltype(parse(std::string_view{})) {
    const std::string* text = event.field(key);
    if (text == nullptr) {
        script.failAtLastEvent(event.link + " " + event.kind + ": field " + std::string(key) +
                               " is not recorded");
        return std::nullopt;
    }
    auto value = parse(*text);
    if (!value) {
        script.failAtLastEvent(event.link + " " + event.kind + ": " + std::string(key) + "=" +
                               *text + " cannot be read");
    }
    return value;
}

// The recorded bytes of a field, which must be exactly `length` long.
std::optional<std::vector<uint8_t>> recordedBytes(TraceScript& script, const TraceEvent& event,
                                                  size_t length) {
    auto bytes = recorded(script, event, "data", trace::ParseHexBytes);
    if (bytes && bytes->size() != length) {
        script.failAtLastEvent(event.link + " " + event.kind + ": " +
                               std::to_string(bytes->size()) + " bytes recorded where " +
                               std::to_string(length) + " were moved");
        return std::nullopt;
    }
    return bytes;
}

class ReplayHidDevice final : public platform::HidDevice {
public:
    ReplayHidDevice(TraceScript& script, std::string path, platform::ReportLengths lengths)
        : script_(script), path_(std::move(path)), lengths_(lengths) {}

    ~ReplayHidDevice() override {
        script_.expect(
            hostEvent(trace::kLinkHid, Direction::None, trace::kClose).add("path", path_),
            {"path"});
    }

    platform::ReportLengths reportLengths() const override { return lengths_; }

    bool writeOutputReport(const uint8_t* report, size_t length) override {
        return hostReport(trace::kOutputReport, report, length);
    }

    platform::ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) override {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkHid, Direction::DeviceToHost, trace::kInputReport)
                               .add("length", std::to_string(length))
                               .add("timeout", std::to_string(timeoutMs)),
                           {"length", "timeout"});
        if (e == nullptr) {
            return platform::ReadResult::Error;
        }
        const auto result = recorded(script_, *e, "result", trace::ParseReadResult);
        if (!result) {
            return platform::ReadResult::Error;
        }
        if (*result == platform::ReadResult::Report) {
            const auto bytes = recordedBytes(script_, *e, length);
            if (!bytes) {
                return platform::ReadResult::Error;
            }
            std::copy(bytes->begin(), bytes->end(), report);
        }
        return *result;
    }

    bool setFeatureReport(const uint8_t* report, size_t length) override {
        return hostReport(trace::kSetFeature, report, length);
    }

    bool getFeatureReport(uint8_t* report, size_t length) override {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkHid, Direction::DeviceToHost, trace::kGetFeature)
                               .add("length", std::to_string(length)),
                           {"length"});
        if (e == nullptr) {
            return false;
        }
        const auto ok = recorded(script_, *e, "result", trace::ParseSuccess);
        if (!ok || !*ok) {
            return false;
        }
        const auto bytes = recordedBytes(script_, *e, length);
        if (!bytes) {
            return false;
        }
        std::copy(bytes->begin(), bytes->end(), report);
        return true;
    }

    void cancelPendingTransfers() override {
        script_.expect(hostEvent(trace::kLinkHid, Direction::None, trace::kCancel), {});
    }

private:
    // An output or feature report: the host's bytes must be the recorded ones.
    bool hostReport(std::string_view kind, const uint8_t* report, size_t length) {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkHid, Direction::HostToDevice, kind)
                               .add("length", std::to_string(length))
                               .add("data", trace::HexBytes({report, length})),
                           {"length", "data"});
        if (e == nullptr) {
            return false;
        }
        return recorded(script_, *e, "result", trace::ParseSuccess).value_or(false);
    }

    TraceScript& script_;
    std::string path_;
    platform::ReportLengths lengths_;
};

class ReplayPipeDevice final : public platform::PipeDevice {
public:
    explicit ReplayPipeDevice(TraceScript& script) : script_(script) {}

    ~ReplayPipeDevice() override {
        script_.expect(hostEvent(trace::kLinkPipe, Direction::None, trace::kClose), {});
    }

    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length,
                                      uint32_t timeoutMs, size_t& moved) override {
        moved = 0;
        const bool write = pipe == platform::Pipe::Write;
        TraceEvent host =
            hostEvent(trace::kLinkPipe, write ? Direction::HostToDevice : Direction::DeviceToHost,
                      write ? trace::kWrite : trace::kRead);
        host.add("length", std::to_string(length)).add("timeout", std::to_string(timeoutMs));
        if (write && length > 0) {
            host.add("data", trace::HexBytes({data, length}));
        }
        const TraceEvent* e = write ? script_.expect(host, {"length", "timeout", "data"})
                                    : script_.expect(host, {"length", "timeout"});
        if (e == nullptr) {
            return platform::TransferResult::Failed;
        }
        const auto result = recorded(script_, *e, "result", trace::ParseTransferResult);
        const auto recordedMoved = recorded(script_, *e, "moved", parseDecimal);
        if (!result || !recordedMoved) {
            return platform::TransferResult::Failed;
        }
        if (*recordedMoved > length) {
            script_.failAtLastEvent("pipe " + e->kind +
                                    ": moved=" + std::to_string(*recordedMoved) +
                                    " exceeds the transfer's length");
            return platform::TransferResult::Failed;
        }
        if (!write && *recordedMoved > 0) {
            const auto bytes = recordedBytes(script_, *e, *recordedMoved);
            if (!bytes) {
                return platform::TransferResult::Failed;
            }
            std::copy(bytes->begin(), bytes->end(), data);
        }
        moved = *recordedMoved;
        return *result;
    }

    void resetPipe(platform::Pipe pipe) override {
        script_.expect(hostEvent(trace::kLinkPipe, Direction::None, trace::kReset)
                           .add("pipe", std::string(trace::PipeName(pipe))),
                       {"pipe"});
    }

private:
    TraceScript& script_;
};

// An optional text of an enumerated device ("" when the recording has none: traces
// made before the field was recorded).
std::string recordedText(const TraceEvent& entry, std::string_view key) {
    const std::string* value = entry.field(key);
    return value != nullptr ? *value : std::string{};
}

// Whether an enumerated device was accessible; accessible when not recorded.
bool recordedAccess(const TraceEvent& entry) {
    const std::string* value = entry.field("accessible");
    return value == nullptr || trace::ParseYesNo(*value).value_or(true);
}

// An open as recorded: the failure it reported, or success.
std::optional<platform::OpenFailure> recordedOpen(TraceScript& script, const TraceEvent* e,
                                                  platform::OpenFailure& failure) {
    failure = platform::OpenFailure::NotFound;
    if (e == nullptr) {
        return std::nullopt;
    }
    const auto result = recorded(script, *e, "result", trace::ParseOpenResult);
    if (result) {
        failure = *result;
    }
    return result;
}

}  // namespace

class ReplayPlatform::HidBus final : public platform::HidBus {
public:
    explicit HidBus(TraceScript& script) : script_(script) {}

    std::vector<platform::HidDeviceInfo> enumerate() override {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkHid, Direction::None, trace::kEnumerate), {});
        if (e == nullptr) {
            return {};
        }
        std::vector<platform::HidDeviceInfo> devices;
        for (const trace::TraceRecord& record : e->records) {
            TraceEvent entry = *e;
            entry.fields = record;
            const std::string* path = entry.field("path");
            const auto vendor = recorded(script_, entry, "vendor", trace::ParseId);
            const auto product = recorded(script_, entry, "product", trace::ParseId);
            if (path == nullptr || !vendor || !product) {
                script_.failAtLastEvent("hid enumerate: a device without path, vendor or product");
                return {};
            }
            devices.push_back({.path = *path,
                               .vendorId = *vendor,
                               .productId = *product,
                               .location = recordedText(entry, "location"),
                               .serial = recordedText(entry, "serial"),
                               .accessible = recordedAccess(entry)});
        }
        return devices;
    }

    std::unique_ptr<platform::HidDevice> open(const std::string& path,
                                              platform::OpenFailure& failure) override {
        const TraceEvent* e = script_.expect(
            hostEvent(trace::kLinkHid, Direction::None, trace::kOpen).add("path", path), {"path"});
        const auto result = recordedOpen(script_, e, failure);
        if (result != platform::OpenFailure::None) {
            return nullptr;
        }
        const auto input = recorded(script_, *e, "input", parseDecimal);
        const auto output = recorded(script_, *e, "output", parseDecimal);
        const auto feature = recorded(script_, *e, "feature", parseDecimal);
        if (!input || !output || !feature) {
            failure = platform::OpenFailure::Other;
            return nullptr;
        }
        return std::make_unique<ReplayHidDevice>(
            script_, path, platform::ReportLengths{*input, *output, *feature});
    }

    void waitForPendingInstallations() override {
        script_.expect(hostEvent(trace::kLinkHid, Direction::None, trace::kWaitInstallations), {});
    }

private:
    TraceScript& script_;
};

class ReplayPlatform::PipeBus final : public platform::PipeBus {
public:
    explicit PipeBus(TraceScript& script) : script_(script) {}

    std::vector<platform::PipeDeviceInfo> enumerate(uint16_t vendorId,
                                                    uint16_t productId) override {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkPipe, Direction::None, trace::kEnumerate)
                               .add("vendor", trace::IdName(vendorId))
                               .add("product", trace::IdName(productId)),
                           {"vendor", "product"});
        if (e == nullptr) {
            return {};
        }
        std::vector<platform::PipeDeviceInfo> devices;
        for (const trace::TraceRecord& record : e->records) {
            TraceEvent entry = *e;
            entry.fields = record;
            devices.push_back({.location = recordedText(entry, "location"),
                               .serial = recordedText(entry, "serial"),
                               .node = recordedText(entry, "node"),
                               .accessible = recordedAccess(entry)});
        }
        return devices;
    }

    std::unique_ptr<platform::PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                               platform::OpenFailure& failure) override {
        const TraceEvent* e =
            script_.expect(hostEvent(trace::kLinkPipe, Direction::None, trace::kOpen)
                               .add("vendor", trace::IdName(vendorId))
                               .add("product", trace::IdName(productId))
                               .add("index", std::to_string(n)),
                           {"vendor", "product", "index"});
        if (recordedOpen(script_, e, failure) != platform::OpenFailure::None) {
            return nullptr;
        }
        return std::make_unique<ReplayPipeDevice>(script_);
    }

private:
    TraceScript& script_;
};

// Pauses must come as recorded but take no time; the time is the recording's.
class ReplayPlatform::Clock final : public platform::Clock {
public:
    explicit Clock(TraceScript& script) : script_(script) {}

    void sleepMs(uint32_t milliseconds) override {
        script_.expect(hostEvent(trace::kLinkClock, Direction::None, trace::kSleep)
                           .add("ms", std::to_string(milliseconds)),
                       {"ms"});
    }
    void busyWaitUs(uint32_t microseconds) override {
        script_.expect(hostEvent(trace::kLinkClock, Direction::None, trace::kBusyWait)
                           .add("us", std::to_string(microseconds)),
                       {"us"});
    }
    uint64_t nowUs() override { return script_.nowUs(); }

private:
    TraceScript& script_;
};

ReplayPlatform::ReplayPlatform(TraceScript script)
    : script_(std::move(script)),
      hid_(std::make_unique<HidBus>(script_)),
      pipe_(std::make_unique<PipeBus>(script_)),
      clock_(std::make_unique<Clock>(script_)),
      platform_{hid_.get(), pipe_.get(), clock_.get()} {}

ReplayPlatform::~ReplayPlatform() = default;

}  // namespace korvid::replay
