#include "fake_programmer.h"

#include <algorithm>
#include <numeric>

namespace korvid::testing {
namespace {

constexpr uint16_t kVendor = 0x4C7B;
constexpr uint16_t kHidNormal = 0x0323;
constexpr uint16_t kHidUpdateMode = 0x030B;
constexpr uint16_t kPipeProduct = 0x030D;

uint32_t littleEndian(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}

uint16_t checksumOf(const Bytes& bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

bool isAckA(const Bytes& reply) {
    return reply.size() == 1 && reply[0] == 'A';
}

class FakeHidDevice : public platform::HidDevice {
public:
    explicit FakeHidDevice(FakeHidProgrammer& p) : p_(p) { ++p_.openHandles; }
    ~FakeHidDevice() override { --p_.openHandles; }

    platform::ReportLengths reportLengths() const override { return p_.lengths; }

    bool writeOutputReport(const uint8_t* report, size_t length) override {
        p_.outputReports.emplace_back(report, report + length);
        const size_t n = std::min<size_t>(report[0], length - 1);
        p_.takeOutput({report + 1, n});
        return true;
    }

    platform::ReadResult readInputReport(uint8_t* report, size_t length, int) override {
        if (p_.inputReports.empty()) {
            return platform::ReadResult::Timeout;
        }
        Bytes next = std::move(p_.inputReports.front());
        p_.inputReports.pop_front();
        next.resize(length, 0x00);
        std::copy(next.begin(), next.end(), report);
        return platform::ReadResult::Report;
    }

    bool setFeatureReport(const uint8_t* report, size_t length) override {
        const int index = static_cast<int>(p_.featureReports.size());
        p_.featureReports.emplace_back(report, report + length);
        if (index == p_.failFeatureSetAt) {
            return false;
        }
        if (p_.firmwareBytesExpected > 0) {
            const size_t n = std::min(p_.firmwareBytesExpected, length - 1);
            p_.flashedFirmware.insert(p_.flashedFirmware.end(), report + 1, report + 1 + n);
            p_.firmwareBytesExpected -= n;
        } else if (report[1] == 0x33) {
            p_.firmwareBytesExpected = size_t{report[5]} << 16 | report[6] << 8 | report[7];
            p_.flashedFirmware.clear();
        } else if (report[1] == 0x44) {
            p_.restartRequested = true;
            p_.productId = kHidNormal;
        }
        return true;
    }

    bool getFeatureReport(uint8_t* report, size_t length) override {
        std::fill_n(report, length, 0x00);
        const uint16_t answer = checksumOf(p_.flashedFirmware) ^ p_.checksumAnswerXor;
        report[1] = static_cast<uint8_t>(answer >> 8);
        report[2] = static_cast<uint8_t>(answer);
        return true;
    }

    void cancelPendingTransfers() override {}

private:
    FakeHidProgrammer& p_;
};

class FakePipeDevice : public platform::PipeDevice {
public:
    explicit FakePipeDevice(FakePipeProgrammer& p) : p_(p) { ++p_.openHandles; }
    ~FakePipeDevice() override { --p_.openHandles; }

    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length, uint32_t,
                                      size_t& moved) override {
        if (pipe == platform::Pipe::Write) {
            p_.takeWrite({data, length});
            moved = length;
            return platform::TransferResult::Done;
        }
        moved = std::min(length, p_.readable.size());
        std::copy_n(p_.readable.begin(), moved, data);
        p_.readable.erase(p_.readable.begin(), p_.readable.begin() + moved);
        return moved == length ? platform::TransferResult::Done : platform::TransferResult::Timeout;
    }

    void resetPipe(platform::Pipe) override {}

private:
    FakePipeProgrammer& p_;
};

}  // namespace

uint64_t VirtualClock::totalPauseMs() const {
    return std::accumulate(pausesMs.begin(), pausesMs.end(), uint64_t{0});
}

Bytes FakeHidProgrammer::sentStream() const {
    Bytes stream;
    for (const Bytes& report : outputReports) {
        stream.insert(stream.end(), report.begin() + 1, report.begin() + 1 + report[0]);
    }
    return stream;
}

void FakeHidProgrammer::queueReply(const Bytes& payload) {
    for (size_t offset = 0; offset < payload.size(); offset += replyChunkBytes) {
        const size_t n = std::min(replyChunkBytes, payload.size() - offset);
        Bytes report(lengths.input, 0x00);
        report[0] = static_cast<uint8_t>(n);
        std::copy_n(payload.begin() + offset, n, report.begin() + 1);
        inputReports.push_back(std::move(report));
    }
}

void FakeHidProgrammer::takeOutput(std::span<const uint8_t> payload) {
    stream.insert(stream.end(), payload.begin(), payload.end());
    for (;;) {
        if (receivingImage) {
            const size_t n = std::min(stream.size(), imageBytesExpected - receivedImage.size());
            receivedImage.insert(receivedImage.end(), stream.begin(), stream.begin() + n);
            stream.erase(stream.begin(), stream.begin() + n);
            if (receivedImage.size() < imageBytesExpected) {
                return;
            }
            receivingImage = false;
            for (uint8_t reply : finalReplies) {
                queueReply({reply});
            }
            continue;
        }
        if (stream.size() < 31) {
            return;
        }
        const Bytes command(stream.begin(), stream.begin() + 31);
        stream.erase(stream.begin(), stream.begin() + 31);
        switch (command[0]) {
            case 0xC5:
                queueReply(identifyReply);
                break;
            case 0xC0:
            case 0xC1:
            case 0xC2:
            case 0xC3:
                queueReply(commandReply);
                if (isAckA(commandReply)) {
                    imageBytesExpected = littleEndian(&command[5], 4);
                    receivedImage.clear();
                    receivingImage = true;
                }
                break;
            case 0xC4:
                queueReply(dumpAck);
                queueReply(dumpData);
                break;
            case 0xC6:
                if (modeSwitchReply) {
                    queueReply({*modeSwitchReply});
                }
                productId = kHidUpdateMode;
                break;
        }
    }
}

std::vector<Bytes> FakePipeProgrammer::hostMessages() const {
    std::vector<Bytes> sent;
    for (const Message& m : messages) {
        if (m.fromHost) {
            sent.push_back(m.bytes);
        }
    }
    return sent;
}

void FakePipeProgrammer::takeWrite(std::span<const uint8_t> bytes) {
    if (expect == Expect::WriteData) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        dataRemaining -= static_cast<uint32_t>(std::min<size_t>(bytes.size(), dataRemaining));
        if (dataRemaining == 0) {
            expect = Expect::Command;
            messages.push_back({true, data});
            onMessage(data);
            readable.insert(readable.end(), 13, 0x00);  // status block: success
        }
        return;
    }
    if (bytes.size() != 13 || bytes[0] != 0x5A || bytes[1] != 0xA5) {
        return;  // not a command block: ignored, as a confused device would
    }
    switch (bytes[2]) {
        case 0x93:
            timeouts.push_back(littleEndian(&bytes[4], 2));
            readable.insert(readable.end(), 13, 0x00);
            break;
        case 0x92:
            dataRemaining = littleEndian(&bytes[8], 4);
            data.clear();
            expect = Expect::WriteData;
            break;
        case 0x91:
            answerRead(littleEndian(&bytes[8], 4));
            break;
    }
}

void FakePipeProgrammer::onMessage(const Bytes& m) {
    if (m == Bytes{0x55, 0xAA}) {
        Bytes answer = defaultIdentifier;
        if (!identifierAnswers.empty()) {
            answer = identifierAnswers.front();
            if (identifierAnswers.size() > 1) {
                identifierAnswers.pop_front();
            }
        }
        lastIdentifier = static_cast<uint16_t>(answer[0] << 8 | answer[1]);
        pendingReads.push_back(answer);
    } else if (m.size() == 1) {
        // The byte after the handshake: the boot request when it is 0xFF, or 0x00
        // after an answer of 0xFF 0xFF.
        if (m[0] == 0xFF || lastIdentifier == 0xFFFF) {
            bootRequested = true;
            opensSinceBoot = 0;
        }
    } else if (m == Bytes{0x5A, 0xA5, 0xF9, 0xF1}) {
        awaitingReply = true;
        imageChecksum = 0;
    } else if (m.size() == 23 && m[0] == 0x5A && m[1] == 0xA5) {
        if (m[2] == 0xF2 && m[14] == 0xFE) {
            pendingReads.push_back({dumpAck});
            pendingReads.push_back(dumpData);
        } else {
            awaitingReply = true;
            imageChecksum = 0;
        }
    } else if (awaitingReply) {
        imageChecksum = checksumOf(m);
        image = m;
    }
}

void FakePipeProgrammer::answerRead(uint32_t count) {
    Bytes reply;
    if (!pendingReads.empty()) {
        reply = std::move(pendingReads.front());
        pendingReads.pop_front();
    } else if (awaitingReply) {
        if (!programReplies.empty()) {
            reply = programReplies.front();
            programReplies.pop_front();
        } else {
            const uint16_t answer = imageChecksum ^ checksumReplyXor;
            reply = {static_cast<uint8_t>(answer >> 8), static_cast<uint8_t>(answer), 0x00};
        }
    }
    reply.resize(count, 0x00);
    messages.push_back({false, reply});
    readable.insert(readable.end(), reply.begin(), reply.end());
}

class FakePlatform::HidBus : public platform::HidBus {
public:
    explicit HidBus(FakeHidProgrammer& p) : p_(p) {}

    std::vector<platform::HidDeviceInfo> enumerate() override {
        if (!p_.present) {
            return {};
        }
        if (p_.productId == kHidUpdateMode) {
            ++p_.updateModeOpenAttempts;
            if (p_.failedOpensBeforeUpdateMode < 0 ||
                p_.updateModeOpenAttempts <= p_.failedOpensBeforeUpdateMode) {
                return {};
            }
        }
        return {{"/fake/hidraw0", kVendor, p_.productId}};
    }

    std::unique_ptr<platform::HidDevice> open(const std::string&, platform::OpenFailure&) override {
        return std::make_unique<FakeHidDevice>(p_);
    }

    void waitForPendingInstallations() override { ++p_.installationWaits; }

private:
    FakeHidProgrammer& p_;
};

class FakePlatform::PipeBus : public platform::PipeBus {
public:
    explicit PipeBus(FakePipeProgrammer& p) : p_(p) {}

    std::unique_ptr<platform::PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                               platform::OpenFailure& failure) override {
        ++p_.openAttempts;
        const bool rebooting = p_.bootRequested && (p_.failedOpensAfterBoot < 0 ||
                                                    p_.opensSinceBoot++ < p_.failedOpensAfterBoot);
        if (!p_.present || vendorId != kVendor || productId != kPipeProduct || n != 1 ||
            rebooting) {
            failure = platform::OpenFailure::NotFound;
            return nullptr;
        }
        p_.expect = FakePipeProgrammer::Expect::Command;
        p_.readable.clear();
        return std::make_unique<FakePipeDevice>(p_);
    }

private:
    FakePipeProgrammer& p_;
};

FakePlatform::FakePlatform()
    : hidBus_(std::make_unique<HidBus>(hid)), pipeBus_(std::make_unique<PipeBus>(pipe)) {
    platform_.hid = hidBus_.get();
    platform_.pipe = pipeBus_.get();
    platform_.clock = &clock;
    platform::setForTesting(&platform_);
}

FakePlatform::~FakePlatform() {
    platform::setForTesting(nullptr);
}

}  // namespace korvid::testing
