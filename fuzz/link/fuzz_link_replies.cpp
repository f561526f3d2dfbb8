// The host side of both links and the operations above them, fed with arbitrary
// device replies: every input report and every pipe read comes from the fuzz data.
// The exact-size destination buffers let the sanitizers catch any write past them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "korvid.h"
#include "link/detect.h"
#include "link/hid_link.h"
#include "link/platform.h"
#include "link/sim/clocks.h"

namespace {

using namespace korvid;

// Hands out the fuzz data piece by piece.
class Replies {
public:
    Replies(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    size_t take(uint8_t* destination, size_t length) {
        const size_t n = std::min(length, size_ - std::min(at_, size_));
        std::memcpy(destination, data_ + at_, n);
        at_ += n;
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class FuzzHidDevice : public platform::HidDevice {
public:
    FuzzHidDevice(Replies& replies, platform::ReportLengths lengths)
        : replies_(replies), lengths_(lengths) {}
    platform::ReportLengths reportLengths() const override { return lengths_; }
    bool writeOutputReport(const uint8_t*, size_t) override { return !replies_.empty(); }
    platform::ReadResult readInputReport(uint8_t* report, size_t length, int) override {
        if (replies_.empty()) {
            return platform::ReadResult::Error;
        }
        std::memset(report, 0, length);
        replies_.take(report, std::min<size_t>(length, replies_.byte()));
        return platform::ReadResult::Report;
    }
    bool setFeatureReport(const uint8_t*, size_t) override { return !replies_.empty(); }
    bool getFeatureReport(uint8_t* report, size_t length) override {
        std::memset(report, 0, length);
        replies_.take(report, length);
        return !replies_.empty();
    }
    void cancelPendingTransfers() override {}

private:
    Replies& replies_;
    platform::ReportLengths lengths_;
};

class FuzzHidBus : public platform::HidBus {
public:
    FuzzHidBus(Replies& replies, bool present, platform::ReportLengths lengths)
        : replies_(replies), present_(present), lengths_(lengths) {}
    std::vector<platform::HidDeviceInfo> enumerate() override {
        if (!present_) {
            return {};
        }
        return {{"fuzz", link::kVendorId, link::kHidProductNormal, "fuzz", "", true}};
    }
    std::unique_ptr<platform::HidDevice> open(const std::string&, platform::OpenFailure&) override {
        return std::make_unique<FuzzHidDevice>(replies_, lengths_);
    }
    void waitForPendingInstallations() override {}

private:
    Replies& replies_;
    bool present_;
    platform::ReportLengths lengths_;
};

class FuzzPipeDevice : public platform::PipeDevice {
public:
    explicit FuzzPipeDevice(Replies& replies) : replies_(replies) {}
    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length, uint32_t,
                                      size_t& moved) override {
        if (replies_.empty()) {
            return platform::TransferResult::Failed;
        }
        moved = pipe == platform::Pipe::Read ? replies_.take(data, length) : length;
        return static_cast<platform::TransferResult>(replies_.byte() % 5);
    }
    void resetPipe(platform::Pipe) override {}

private:
    Replies& replies_;
};

class FuzzPipeBus : public platform::PipeBus {
public:
    explicit FuzzPipeBus(Replies& replies) : replies_(replies) {}
    std::vector<platform::PipeDeviceInfo> enumerate(uint16_t, uint16_t) override {
        return {{"fuzz", "", "fuzz", true}};
    }
    std::unique_ptr<platform::PipeDevice> open(uint16_t, uint16_t, unsigned,
                                               platform::OpenFailure&) override {
        return std::make_unique<FuzzPipeDevice>(replies_);
    }

private:
    Replies& replies_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    Replies replies(data + 4, size - 4);
    // Header: whether a HID programmer is there, its input/output report lengths,
    // and which operation runs.
    const bool hidPresent = data[0] & 1;
    const platform::ReportLengths lengths{data[1], data[2], 65};
    FuzzHidBus hid(replies, hidPresent, lengths);
    FuzzPipeBus pipe(replies);
    sim::VirtualClock clock;
    platform::Platform fuzzPlatform{&hid, &pipe, &clock};
    platform::setForTesting(&fuzzPlatform);

    switch (data[3] % 3) {
        case 0:
            link::DetectProgrammer();
            break;
        case 1: {
            std::vector<uint8_t> dump(256);
            DumpMCUInfo(dump.data());
            break;
        }
        default: {
            if (link::OpenHidProgrammer(link::kVendorId, link::kHidProductNormal)) {
                std::vector<uint8_t> destination(data[3]);
                link::ReadReports(destination.data(), destination.size());
            }
            link::CloseHidProgrammer();
            break;
        }
    }
    platform::setForTesting(nullptr);
    return 0;
}
