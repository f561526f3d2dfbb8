// A simulated programmer of the older model on its bulk pipes: the command and
// status blocks, the handshake, programming and storing jobs, the target
// information dump and the firmware update through the boot request.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/platform.h"
#include "link/programmer_identifier.h"
#include "link/sim/clocks.h"
#include "link/sim/traffic.h"

namespace korvid::sim {

struct PipeProgrammerOptions {
    uint16_t vendorId = link::kVendorId;
    uint16_t productId = link::kPipeProduct;
    uint16_t firmwareIdentifier = link::kPipeFirmwareIdentifier;  // handshake answer
    uint16_t identifierAfterReflash = link::kPipeFirmwareIdentifier;
    // Answers to the first handshakes, one per handshake; afterwards the identifier.
    std::vector<uint16_t> handshakeAnswers{};
    // Where it sits on USB ("" gets one from SimulatedPlatform) and its serial string
    // in normal mode; in boot mode it shows none.
    std::string location{};
    std::string serial{};

    // Answers of the programming protocol.
    unsigned workingReplies = 0;   // 'U' statuses before the final one (programming a target)
    bool stuckWorking = false;     // after a job: status 'U' forever (one per kStuckWorkingReplyMs)
    uint8_t programStatus = 0x00;  // final status: 0x00 success, 0xFE target locked
    bool corruptChecksum = false;  // answer a checksum one above the true one
    uint8_t dumpAck = 0x00;
    std::vector<uint8_t> targetInformation{};  // dump answer; empty: bytes 0x00..0xFF
    uint8_t firmwareStatus = 0x00;             // status of the firmware update's final reply

    // Waiting in its boot mode from the start, as a re-flash cut short leaves the
    // programmer.
    bool startInBootMode = false;
    // Re-enumeration after the boot request or a replug: absent for this many open
    // attempts; -1: never comes back.
    int reappearAfterPolls = 2;

    // Misbehaviour of the pipes.
    bool refuseOpen = false;  // present but not accessible (listed so, opens AccessDenied)
    std::optional<unsigned> statusErrorAt{};    // this status block (from 0) reports error 0x01
    std::optional<unsigned> faultTransferAt{};  // this transfer (from 0) is a device fault
    std::optional<size_t> truncateAnswersTo{};  // answers cut to at most this many bytes
    std::optional<unsigned> unplugAfterTransfers{};
    // The plug pulled and put back once this many bytes of a new firmware arrived in
    // its boot mode: what it had taken is lost, and it starts again in its boot mode.
    // Once.
    std::optional<size_t> replugAfterFirmwareBytes{};
    // A hung firmware: listed and opened, but every transfer times out.
    bool hung = false;

    bool recordTraffic = true;
};

// A job header with the image that followed it.
struct PipeProgramJob {
    std::array<uint8_t, 23> header{};
    uint8_t optionByte = 0;  // header byte 2
    uint8_t mode = 0;        // 0xF1 ISP, 0xF2 ICP
    uint8_t partByte = 0;
    uint8_t areaByte = 0;
    std::array<uint8_t, 8> configBytes{};
    uint16_t maxCount = 0;
    uint8_t serialFlags = 0;
    uint16_t serialAddress = 0;
    uint32_t serialNumber = 0;
    std::vector<uint8_t> image{};

    // Programming a target starts the option byte from 0xBF, storing from 0xBB.
    bool programsTarget() const { return (optionByte & 0x04) != 0; }
};

class SimulatedPipeProgrammer {
public:
    SimulatedPipeProgrammer(PipeProgrammerOptions options, platform::Clock& clock,
                            std::string node);

    PipeProgrammerOptions& options() { return options_; }
    const std::string& node() const { return node_; }

    bool present() const { return present_; }
    bool inBootMode() const { return bootMode_; }
    uint16_t firmwareIdentifier() const { return identifier_; }
    // The time-out value of the last set-time-out command.
    std::optional<uint16_t> lastTimeout() const { return lastTimeout_; }
    unsigned handshakes() const { return handshakes_; }

    const Traffic& traffic() const { return traffic_; }
    void clearTraffic() { traffic_.clear(); }

    const std::vector<uint8_t>& targetFlash() const { return targetFlash_; }
    const std::optional<PipeProgramJob>& storedJob() const { return storedJob_; }
    const std::vector<uint8_t>& installedFirmware() const { return installedFirmware_; }

    unsigned openCount() const { return opens_; }
    int openHandles() const { return openHandles_; }

    void unplug();

    // The device side, for presenting this programmer on a real USB bus (a gadget):
    // each call is one transfer as the programmer meets it, with the same behaviour
    // as behind the seam. A read hands out what the programmer owes the host, at
    // most `capacity` bytes, without waiting.
    platform::TransferResult hostWrites(const uint8_t* data, size_t length);
    platform::TransferResult hostReads(uint8_t* data, size_t capacity, size_t& moved);
    // A finished firmware update takes effect at the end of the exchange (behind the
    // seam: the host closing the device). A programmer on a bus cannot see the host
    // close; its gadget ends the exchange once the programmer owes the host nothing.
    bool restartDue() const {
        return restartOnClose_ && !statusOwed_ && reading_.empty() && answers_.empty();
    }
    void endExchange() { handleClosed(); }
    // After it left the bus: whether it comes back at all, and coming back.
    bool comesBack() const { return !unplugged_ && pollsUntilPresent_ >= 0; }
    void reappear();

private:
    friend class SimulatedPipeBus;
    friend class SimulatedPipeHandle;

    void poll();
    bool admitOpen(platform::OpenFailure& failure);
    void handleClosed();
    void resetExchange();
    void restartInBootMode();
    void replug();

    platform::TransferResult transfer(uint64_t generation, platform::Pipe pipe, uint8_t* data,
                                      size_t length, uint32_t timeoutMs, size_t& moved);
    void resetPipe(platform::Pipe pipe);
    void record(TrafficKind kind, const uint8_t* bytes, size_t length);

    platform::TransferResult takeWrite(const uint8_t* data, size_t length);
    platform::TransferResult serveRead(uint8_t* data, size_t length, uint32_t timeoutMs,
                                       size_t& moved);
    void handleMessage(std::vector<uint8_t> message);
    void handleNormalMessage(std::vector<uint8_t> message);
    void handleBootMessage(std::vector<uint8_t> message);
    void finishJob(std::vector<uint8_t> image);
    void queueAnswer(std::vector<uint8_t> answer);

    PipeProgrammerOptions options_;
    platform::Clock& clock_;
    std::string node_;

    bool present_ = true;
    bool unplugged_ = false;
    bool bootMode_ = false;
    int pollsUntilPresent_ = 0;
    uint64_t generation_ = 0;
    uint16_t identifier_;
    unsigned transfers_ = 0;
    unsigned statusBlocks_ = 0;
    unsigned handshakes_ = 0;
    unsigned opens_ = 0;
    int openHandles_ = 0;
    std::optional<uint16_t> lastTimeout_;
    Traffic traffic_;

    // Block protocol: a write data phase being received, a status block owed, the
    // answer being read out.
    std::optional<uint32_t> writeRemaining_;
    std::vector<uint8_t> message_;
    bool statusOwed_ = false;
    std::vector<uint8_t> reading_;
    std::deque<std::vector<uint8_t>> answers_;

    // Application state.
    std::optional<uint16_t> lastHandshakeAnswer_;
    std::optional<PipeProgramJob> pendingJob_;
    bool firmwareFollows_ = false;
    bool restartOnClose_ = false;
    std::optional<uint16_t> stuckChecksum_;  // stuck after a job: its checksum, until closed
    std::vector<uint8_t> targetFlash_;
    std::optional<PipeProgramJob> storedJob_;
    std::vector<uint8_t> installedFirmware_;
};

// The pipe devices of the simulated system, in attachment order.
class SimulatedPipeBus : public platform::PipeBus {
public:
    explicit SimulatedPipeBus(platform::Clock& clock) : clock_(clock) {}

    SimulatedPipeProgrammer& attach(PipeProgrammerOptions options = {});
    // The attached programmers, in attachment order.
    SimulatedPipeProgrammer& programmer(size_t index) { return *devices_.at(index); }

    // The present devices in attachment order, as open() counts them.
    std::vector<platform::PipeDeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<platform::PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                               platform::OpenFailure& failure) override;

    unsigned openAttempts() const { return openAttempts_; }

private:
    platform::Clock& clock_;
    std::vector<std::shared_ptr<SimulatedPipeProgrammer>> devices_;
    unsigned openAttempts_ = 0;
};

}  // namespace korvid::sim
