#include "link/sim/simulated_pipe_programmer.h"

#include <algorithm>
#include <numeric>

#include "link/pipe_blocks.h"

namespace korvid::sim {
namespace {

constexpr uint8_t kHeaderMagic0 = 0x5A;
constexpr uint8_t kHeaderMagic1 = 0xA5;
constexpr size_t kJobHeaderBytes = 23;
constexpr uint8_t kWorkingStatus = 'U';
constexpr uint16_t kBlankIdentifier = 0xFFFF;

uint16_t byteSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint16_t>(std::accumulate(bytes.begin(), bytes.end(), uint32_t{0}));
}

bool startsWith(const std::vector<uint8_t>& message, std::initializer_list<uint8_t> prefix) {
    return message.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), message.begin());
}

bool isJobHeader(const std::vector<uint8_t>& message) {
    return message.size() == kJobHeaderBytes && startsWith(message, {kHeaderMagic0, kHeaderMagic1});
}

bool isDumpHeader(const std::vector<uint8_t>& message) {
    return isJobHeader(message) && message[2] == 0xF2 && message[3] == 0xF1 && message[14] == 0xFE;
}

PipeProgramJob parseJobHeader(const std::vector<uint8_t>& h) {
    PipeProgramJob job;
    std::copy_n(h.begin(), kJobHeaderBytes, job.header.begin());
    job.optionByte = h[2];
    job.mode = h[3];
    job.partByte = h[4];
    job.areaByte = h[5];
    std::copy_n(h.begin() + 6, job.configBytes.size(), job.configBytes.begin());
    job.maxCount = static_cast<uint16_t>(h[14] | h[15] << 8);
    job.serialFlags = h[16];
    job.serialAddress = static_cast<uint16_t>(h[17] | h[18] << 8);
    job.serialNumber =
        uint32_t{h[19]} | uint32_t{h[20]} << 8 | uint32_t{h[21]} << 16 | uint32_t{h[22]} << 24;
    return job;
}

std::vector<uint8_t> checksumReply(uint16_t checksum, uint8_t status) {
    return {static_cast<uint8_t>(checksum >> 8), static_cast<uint8_t>(checksum), status};
}

}  // namespace

class SimulatedPipeHandle : public platform::PipeDevice {
public:
    explicit SimulatedPipeHandle(std::shared_ptr<SimulatedPipeProgrammer> device)
        : device_(std::move(device)), generation_(device_->generation_) {
        ++device_->openHandles_;
    }
    ~SimulatedPipeHandle() override {
        --device_->openHandles_;
        if (generation_ == device_->generation_) {
            device_->handleClosed();
        }
    }

    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length,
                                      uint32_t timeoutMs, size_t& moved) override {
        return device_->transfer(generation_, pipe, data, length, timeoutMs, moved);
    }
    void resetPipe(platform::Pipe pipe) override {
        if (generation_ == device_->generation_) {
            device_->resetPipe(pipe);
        }
    }

private:
    std::shared_ptr<SimulatedPipeProgrammer> device_;
    uint64_t generation_;
};

SimulatedPipeProgrammer::SimulatedPipeProgrammer(PipeProgrammerOptions options,
                                                 platform::Clock& clock, std::string node)
    : options_(std::move(options)),
      clock_(clock),
      node_(std::move(node)),
      bootMode_(options_.startInBootMode),
      identifier_(options_.firmwareIdentifier) {}

void SimulatedPipeProgrammer::unplug() {
    unplugged_ = true;
    present_ = false;
    ++generation_;
}

platform::TransferResult SimulatedPipeProgrammer::hostWrites(const uint8_t* data, size_t length) {
    size_t moved = 0;
    // The bytes are only read from: the seam's transfer takes one buffer for both pipes.
    return transfer(generation_, platform::Pipe::Write, const_cast<uint8_t*>(data), length, 0,
                    moved);
}

platform::TransferResult SimulatedPipeProgrammer::hostReads(uint8_t* data, size_t capacity,
                                                            size_t& moved) {
    return transfer(generation_, platform::Pipe::Read, data, capacity, 0, moved);
}

void SimulatedPipeProgrammer::reappear() {
    if (comesBack()) {
        pollsUntilPresent_ = 0;
        poll();
    }
}

void SimulatedPipeProgrammer::poll() {
    if (present_ || unplugged_ || pollsUntilPresent_ < 0) {
        return;
    }
    if (pollsUntilPresent_ > 0) {
        --pollsUntilPresent_;
        return;
    }
    present_ = true;
}

bool SimulatedPipeProgrammer::admitOpen(platform::OpenFailure& failure) {
    if (options_.refuseOpen) {
        failure = platform::OpenFailure::AccessDenied;
        return false;
    }
    ++opens_;
    return true;
}

void SimulatedPipeProgrammer::resetExchange() {
    writeRemaining_.reset();
    message_.clear();
    statusOwed_ = false;
    reading_.clear();
    answers_.clear();
    lastHandshakeAnswer_.reset();
    pendingJob_.reset();
    firmwareFollows_ = false;
    stuckChecksum_.reset();
}

// Closing ends every exchange in progress; a finished firmware update takes effect now.
void SimulatedPipeProgrammer::handleClosed() {
    resetExchange();
    if (restartOnClose_) {
        restartOnClose_ = false;
        bootMode_ = false;
    }
}

// The boot request takes effect at once: the programmer drops off the bus without
// the status block of the request, before the host can open it again, and comes
// back in its boot mode.
void SimulatedPipeProgrammer::restartInBootMode() {
    resetExchange();
    present_ = false;
    ++generation_;
    bootMode_ = true;
    pollsUntilPresent_ = options_.reappearAfterPolls;
}

// Without power it forgets the exchange it was in and comes up in the mode it was in.
void SimulatedPipeProgrammer::replug() {
    resetExchange();
    restartOnClose_ = false;
    present_ = false;
    ++generation_;
    pollsUntilPresent_ = options_.reappearAfterPolls;
}

void SimulatedPipeProgrammer::record(TrafficKind kind, const uint8_t* bytes, size_t length) {
    if (!options_.recordTraffic) {
        return;
    }
    const Direction direction =
        kind == TrafficKind::PipeRead ? Direction::DeviceToHost : Direction::HostToDevice;
    traffic_.push_back({kind, direction, std::vector<uint8_t>(bytes, bytes + length)});
}

platform::TransferResult SimulatedPipeProgrammer::transfer(uint64_t generation, platform::Pipe pipe,
                                                           uint8_t* data, size_t length,
                                                           uint32_t timeoutMs, size_t& moved) {
    moved = 0;
    if (generation != generation_ || !present_) {
        return platform::TransferResult::Failed;
    }
    if (options_.unplugAfterTransfers && transfers_ >= *options_.unplugAfterTransfers) {
        unplug();
        return platform::TransferResult::Failed;
    }
    if (options_.hung) {
        clock_.sleepMs(timeoutMs);
        return platform::TransferResult::Timeout;
    }
    if (options_.faultTransferAt == transfers_++) {
        return platform::TransferResult::DeviceFault;
    }
    if (pipe == platform::Pipe::Write) {
        record(TrafficKind::PipeWrite, data, length);
        moved = length;
        return takeWrite(data, length);
    }
    const platform::TransferResult result = serveRead(data, length, timeoutMs, moved);
    if (result == platform::TransferResult::Done) {
        record(TrafficKind::PipeRead, data, moved);
    }
    return result;
}

void SimulatedPipeProgrammer::resetPipe(platform::Pipe pipe) {
    const uint8_t type = static_cast<uint8_t>(pipe);
    record(TrafficKind::PipeReset, &type, 1);
    if (pipe == platform::Pipe::Write) {
        writeRemaining_.reset();
        message_.clear();
    } else {
        statusOwed_ = false;
        reading_.clear();
    }
}

platform::TransferResult SimulatedPipeProgrammer::takeWrite(const uint8_t* data, size_t length) {
    if (writeRemaining_) {
        const size_t taken = std::min<size_t>(length, *writeRemaining_);
        message_.insert(message_.end(), data, data + taken);
        *writeRemaining_ -= static_cast<uint32_t>(taken);
        if (firmwareFollows_ && options_.replugAfterFirmwareBytes &&
            message_.size() >= *options_.replugAfterFirmwareBytes) {
            options_.replugAfterFirmwareBytes.reset();
            replug();
            return platform::TransferResult::Failed;
        }
        if (*writeRemaining_ == 0) {
            writeRemaining_.reset();
            statusOwed_ = true;
            handleMessage(std::move(message_));
            message_.clear();
        }
        return platform::TransferResult::Done;
    }
    const auto command = link::ParseCommandBlock({data, length});
    if (!command) {
        return platform::TransferResult::DeviceFault;
    }
    switch (command->command) {
        case link::PIPE_COMMAND_SET_TIMEOUT:
            lastTimeout_ = command->timeout;
            statusOwed_ = true;
            return platform::TransferResult::Done;
        case link::PIPE_COMMAND_WRITE:
            writeRemaining_ = command->count;
            message_.clear();
            return platform::TransferResult::Done;
        case link::PIPE_COMMAND_READ:
            reading_.clear();
            if (answers_.empty() && stuckChecksum_) {
                clock_.sleepMs(kStuckWorkingReplyMs);
                queueAnswer(checksumReply(*stuckChecksum_, kWorkingStatus));
            }
            if (!answers_.empty()) {
                reading_ = std::move(answers_.front());
                answers_.pop_front();
            }
            return platform::TransferResult::Done;
        default:
            return platform::TransferResult::DeviceFault;
    }
}

platform::TransferResult SimulatedPipeProgrammer::serveRead(uint8_t* data, size_t length,
                                                            uint32_t timeoutMs, size_t& moved) {
    if (statusOwed_) {
        statusOwed_ = false;
        const uint8_t error = options_.statusErrorAt == statusBlocks_++ ? 0x01 : 0x00;
        const link::PipeBlock block = link::BuildStatusBlock(error);
        moved = std::min(length, block.size());
        std::copy_n(block.begin(), moved, data);
        return platform::TransferResult::Done;
    }
    if (reading_.empty()) {
        clock_.sleepMs(timeoutMs);
        return platform::TransferResult::Timeout;
    }
    moved = std::min(length, reading_.size());
    std::copy_n(reading_.begin(), moved, data);
    reading_.erase(reading_.begin(), reading_.begin() + static_cast<std::ptrdiff_t>(moved));
    return platform::TransferResult::Done;
}

void SimulatedPipeProgrammer::handleMessage(std::vector<uint8_t> message) {
    if (bootMode_) {
        handleBootMessage(std::move(message));
    } else {
        handleNormalMessage(std::move(message));
    }
}

void SimulatedPipeProgrammer::handleNormalMessage(std::vector<uint8_t> message) {
    if (pendingJob_) {
        finishJob(std::move(message));
        return;
    }
    if (message == std::vector<uint8_t>{0x55, 0xAA}) {
        const uint16_t answer = handshakes_ < options_.handshakeAnswers.size()
                                    ? options_.handshakeAnswers[handshakes_]
                                    : identifier_;
        ++handshakes_;
        lastHandshakeAnswer_ = answer;
        queueAnswer({static_cast<uint8_t>(answer >> 8), static_cast<uint8_t>(answer)});
        return;
    }
    if (message.size() == 1 && lastHandshakeAnswer_) {
        // 0xFF asks for the boot mode; so does 0x00 from a programmer answering blank.
        const bool bootRequest =
            message[0] == 0xFF || (message[0] == 0x00 && *lastHandshakeAnswer_ == kBlankIdentifier);
        lastHandshakeAnswer_.reset();
        if (bootRequest) {
            restartInBootMode();
        }
        return;
    }
    if (isDumpHeader(message)) {
        queueAnswer({options_.dumpAck});
        if (options_.dumpAck == 0x00) {
            std::vector<uint8_t> info = options_.targetInformation;
            if (info.empty()) {
                info.resize(256);
                std::iota(info.begin(), info.end(), uint8_t{0});
            }
            queueAnswer(std::move(info));
        }
        return;
    }
    if (isJobHeader(message)) {
        pendingJob_ = parseJobHeader(message);
    }
}

void SimulatedPipeProgrammer::queueAnswer(std::vector<uint8_t> answer) {
    if (options_.truncateAnswersTo && answer.size() > *options_.truncateAnswersTo) {
        answer.resize(*options_.truncateAnswersTo);
    }
    answers_.push_back(std::move(answer));
}

void SimulatedPipeProgrammer::finishJob(std::vector<uint8_t> image) {
    PipeProgramJob job = std::move(*pendingJob_);
    pendingJob_.reset();
    job.image = std::move(image);
    const uint16_t checksum =
        static_cast<uint16_t>(byteSum(job.image) + (options_.corruptChecksum ? 1 : 0));
    if (job.programsTarget()) {
        for (unsigned i = 0; i < options_.workingReplies; ++i) {
            queueAnswer(checksumReply(checksum, kWorkingStatus));
        }
    }
    if (options_.stuckWorking) {
        stuckChecksum_ = checksum;
        return;
    }
    queueAnswer(checksumReply(checksum, options_.programStatus));
    if (options_.programStatus != 0x00 || options_.corruptChecksum) {
        return;
    }
    if (job.programsTarget()) {
        targetFlash_ = job.image;
    } else {
        storedJob_ = std::move(job);
    }
}

void SimulatedPipeProgrammer::handleBootMessage(std::vector<uint8_t> message) {
    if (firmwareFollows_) {
        firmwareFollows_ = false;
        const uint16_t checksum =
            static_cast<uint16_t>(byteSum(message) + (options_.corruptChecksum ? 1 : 0));
        queueAnswer(checksumReply(checksum, options_.firmwareStatus));
        if (options_.firmwareStatus == 0x00 && !options_.corruptChecksum) {
            installedFirmware_ = std::move(message);
            identifier_ = options_.identifierAfterReflash;
            restartOnClose_ = true;
        }
        return;
    }
    firmwareFollows_ = message == std::vector<uint8_t>{kHeaderMagic0, kHeaderMagic1, 0xF9, 0xF1};
}

SimulatedPipeProgrammer& SimulatedPipeBus::attach(PipeProgrammerOptions options) {
    devices_.push_back(std::make_shared<SimulatedPipeProgrammer>(
        std::move(options), clock_, "sim-pipe-" + std::to_string(devices_.size())));
    return *devices_.back();
}

std::vector<platform::PipeDeviceInfo> SimulatedPipeBus::enumerate(uint16_t vendorId,
                                                                  uint16_t productId) {
    std::vector<platform::PipeDeviceInfo> present;
    for (const auto& device : devices_) {
        device->poll();
        const PipeProgrammerOptions& options = device->options();
        if (device->present() && options.vendorId == vendorId && options.productId == productId) {
            present.push_back({options.location, device->inBootMode() ? "" : options.serial,
                               device->node(), !options.refuseOpen});
        }
    }
    return present;
}

std::unique_ptr<platform::PipeDevice> SimulatedPipeBus::open(uint16_t vendorId, uint16_t productId,
                                                             unsigned n,
                                                             platform::OpenFailure& failure) {
    ++openAttempts_;
    unsigned matches = 0;
    for (const auto& device : devices_) {
        device->poll();
        if (!device->present() || device->options().vendorId != vendorId ||
            device->options().productId != productId || ++matches != n) {
            continue;
        }
        if (!device->admitOpen(failure)) {
            return nullptr;
        }
        failure = platform::OpenFailure::None;
        return std::make_unique<SimulatedPipeHandle>(device);
    }
    failure = platform::OpenFailure::NotFound;
    return nullptr;
}

}  // namespace korvid::sim
