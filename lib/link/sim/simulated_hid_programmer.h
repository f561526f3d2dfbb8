// A simulated HID programmer: the device side of the report link, identify,
// programming and storing jobs, the target information dump and the firmware
// update through the mode switch and feature reports. Behind the platform seam it
// is one or more HID interfaces of a SimulatedHidBus.
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
#include "link/platform.h"
#include "link/programmer_identifier.h"
#include "link/sim/clocks.h"
#include "link/sim/traffic.h"

namespace korvid::sim {

// Everything a test may want to vary. The defaults are a healthy, current programmer.
struct HidProgrammerOptions {
    uint16_t vendorId = link::kVendorId;
    uint16_t productId = link::kHidProductNormal;                // identity in normal mode
    uint16_t firmwareIdentifier = link::kHidFirmwareIdentifier;  // answer to identify
    uint16_t identifierAfterReflash = link::kHidFirmwareIdentifier;
    // Where it sits on USB ("" gets one from SimulatedPlatform) and its serial string
    // in normal mode; in firmware-update mode it shows none, as a boot loader may.
    std::string location{};
    std::string serial{};

    // Report byte lengths as the platform reports them (report-identifier byte included).
    size_t inputReportLength = 65;
    size_t outputReportLength = 65;
    size_t featureReportLength = 65;

    // Answers of the programming protocol.
    uint8_t commandAck = 'A';      // first reply to a program or dump command
    unsigned workingReplies = 0;   // 'W' replies after the image, before the final one
    bool stuckWorking = false;     // after the image: 'W' forever (one per kStuckWorkingReplyMs)
    uint8_t finalReply = 'A';      // after an image whose checksum agrees
    bool corruptChecksum = false;  // image: answer 'C'; firmware: a checksum off by one bit
    bool answerModeSwitch = true;  // answer 'A' to the mode switch
    uint8_t modeSwitchAck = 'A';   // anything else refuses the switch
    std::vector<uint8_t> targetInformation{};  // dump answer; empty: bytes 0x00..0xFF

    // Waiting in firmware-update mode from the start, as a re-flash cut short leaves
    // the programmer: its firmware is incomplete, so it comes up there.
    bool startInUpdateMode = false;
    // Re-enumeration after the mode switch, the restart or a replug: absent for this
    // many enumerations (a settled-installation wait ends the absence at once); -1:
    // never comes back.
    int reappearAfterPolls = 2;
    bool restartFails = false;                      // the restart request is refused
    std::optional<unsigned> failFeatureReportAt{};  // this feature transfer (from 0) fails

    // Misbehaviour of the report link.
    bool refuseOpen = false;  // present but not accessible (listed so, opens AccessDenied)
    unsigned emptyReportsBeforeAnswer = 0;           // empty input reports before every answer
    std::optional<size_t> truncateRepliesTo{};       // answers cut to at most this many bytes
    std::optional<uint8_t> countByteOverride{};      // count byte of every answer's first report
    std::optional<unsigned> unplugAfterTransfers{};  // gone after this many report transfers
    // The plug pulled and put back once this many bytes of a new firmware arrived:
    // what it had taken is lost, and it starts again in firmware-update mode. Once.
    std::optional<size_t> replugAfterFirmwareBytes{};
    // A hung firmware: listed and opened, but it takes and sends nothing, so every
    // report and feature transfer fails or times out.
    bool hung = false;

    bool recordTraffic = true;
};

// A ProgramCommand as the programmer received it, with the image that followed.
struct HidProgramJob {
    std::array<uint8_t, 31> command{};
    uint8_t opcode = 0;  // 0xC0 ISP store, 0xC1 ISP program, 0xC2 ICP store, 0xC3 ICP program
    uint32_t areaAddress = 0;
    uint32_t imageLength = 0;
    uint16_t checksum = 0;
    uint8_t partByte = 0;
    std::array<uint8_t, 8> optionBytes{};  // command bytes 12..19
    uint8_t serialFlags = 0;
    uint16_t maxCount = 0;
    uint32_t serialAddress = 0;
    uint32_t serialNumber = 0;
    std::vector<uint8_t> image{};

    bool programsTarget() const { return opcode == 0xC1 || opcode == 0xC3; }
};

class SimulatedHidProgrammer {
public:
    SimulatedHidProgrammer(HidProgrammerOptions options, platform::Clock& clock, std::string path);

    // Options may be changed between exchanges (e.g. to misbehave later).
    HidProgrammerOptions& options() { return options_; }
    const std::string& path() const { return path_; }

    bool present() const { return present_; }
    bool inFirmwareUpdateMode() const { return updateMode_; }
    uint16_t productId() const;
    uint16_t firmwareIdentifier() const { return identifier_; }

    const Traffic& traffic() const { return traffic_; }
    void clearTraffic() { traffic_.clear(); }

    // What the target keeps, the job stored for stand-alone programming, and the
    // firmware image taken by the last successful update.
    const std::vector<uint8_t>& targetFlash() const { return targetFlash_; }
    const std::optional<HidProgramJob>& storedJob() const { return storedJob_; }
    const std::vector<uint8_t>& installedFirmware() const { return installedFirmware_; }

    unsigned openCount() const { return opens_; }
    int openHandles() const { return openHandles_; }
    unsigned modeSwitches() const { return modeSwitches_; }
    unsigned cancellations() const { return cancellations_; }

    // Pulls the plug: every open handle fails, the device is never listed again.
    void unplug();

    // The device side, for presenting this programmer on a real USB bus (a gadget):
    // each call is one transfer as the programmer meets it, with the same behaviour
    // as behind the seam. Reports use the Windows layout (byte 0 is the report
    // identifier position).
    bool hostWritesOutputReport(const uint8_t* report, size_t length);
    // The next input report the programmer has for the host, if any; a stuck
    // programmer paces its "still working" replies with its clock.
    std::optional<std::vector<uint8_t>> hostReadsInputReport();
    bool hostSetsFeatureReport(const uint8_t* report, size_t length);
    bool hostGetsFeatureReport(uint8_t* report, size_t length);
    // After it left the bus: whether it comes back at all, and coming back, in the
    // mode inFirmwareUpdateMode() then tells.
    bool comesBack() const { return !unplugged_ && pollsUntilPresent_ >= 0; }
    void reappear() { settleInstallation(); }

private:
    friend class SimulatedHidBus;
    friend class SimulatedHidHandle;

    // Bus side.
    void poll();
    void settleInstallation();
    bool admitOpen(platform::OpenFailure& failure);

    // Handle side; `generation` tells a handle from before a re-enumeration.
    bool writeOutputReport(uint64_t generation, const uint8_t* report, size_t length);
    platform::ReadResult readInputReport(uint64_t generation, uint8_t* report, size_t length,
                                         int timeoutMs);
    bool setFeatureReport(uint64_t generation, const uint8_t* report, size_t length);
    bool getFeatureReport(uint64_t generation, uint8_t* report, size_t length);
    void handleClosed();

    bool reachable(uint64_t generation);
    void record(TrafficKind kind, const uint8_t* bytes, size_t length);
    void leave(bool toUpdateMode);
    void replug();

    void takeStream(const uint8_t* bytes, size_t length);
    void handleCommand();
    void finishImage();
    void queueAnswer(std::vector<uint8_t> answer);
    bool takeFeatureReport(const uint8_t* report, size_t length);

    HidProgrammerOptions options_;
    platform::Clock& clock_;
    std::string path_;

    bool present_ = true;
    bool unplugged_ = false;
    bool updateMode_ = false;
    bool leaveWhenAnswered_ = false;
    bool stuck_ = false;  // took an image while stuckWorking: answers 'W' until closed
    bool nextModeIsUpdate_ = false;
    int pollsUntilPresent_ = 0;
    uint64_t generation_ = 0;
    uint16_t identifier_;
    unsigned transfers_ = 0;
    unsigned featureTransfers_ = 0;
    unsigned opens_ = 0;
    int openHandles_ = 0;
    unsigned modeSwitches_ = 0;
    unsigned cancellations_ = 0;
    Traffic traffic_;

    // Normal mode: the command being received, then the image it announced.
    std::vector<uint8_t> command_;
    std::optional<HidProgramJob> receiving_;
    std::deque<std::vector<uint8_t>> inputReports_;
    std::vector<uint8_t> targetFlash_;
    std::optional<HidProgramJob> storedJob_;

    // Firmware-update mode.
    std::optional<uint32_t> firmwareSize_;
    std::vector<uint8_t> firmware_;
    bool checksumQueried_ = false;
    std::vector<uint8_t> installedFirmware_;
};

// The HID interfaces of the simulated system, in attachment order.
class SimulatedHidBus : public platform::HidBus {
public:
    explicit SimulatedHidBus(platform::Clock& clock) : clock_(clock) {}

    SimulatedHidProgrammer& attach(HidProgrammerOptions options = {});
    // The attached programmers, in attachment order.
    SimulatedHidProgrammer& programmer(size_t index) { return *devices_.at(index); }

    std::vector<platform::HidDeviceInfo> enumerate() override;
    std::unique_ptr<platform::HidDevice> open(const std::string& path,
                                              platform::OpenFailure& failure) override;
    void waitForPendingInstallations() override;

    unsigned enumerations() const { return enumerations_; }
    unsigned installationWaits() const { return installationWaits_; }

private:
    platform::Clock& clock_;
    std::vector<std::shared_ptr<SimulatedHidProgrammer>> devices_;
    unsigned enumerations_ = 0;
    unsigned installationWaits_ = 0;
};

}  // namespace korvid::sim
