// A scripted fake of the platform seam for the programming tests: one HID
// programmer and one older pipe programmer, each answering by command byte with
// replies the test sets up, recording every report and message on the wire, and
// a virtual clock that records pauses instead of sleeping.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "link/platform.h"

namespace korvid::testing {

using Bytes = std::vector<uint8_t>;

class VirtualClock : public platform::Clock {
public:
    void sleepMs(uint32_t milliseconds) override { pausesMs.push_back(milliseconds); }
    void busyWaitUs(uint32_t) override {}
    uint64_t totalPauseMs() const;

    std::vector<uint32_t> pausesMs;
};

// The HID programmer. Replies are payload byte strings, each framed into input
// reports of at most `replyChunkBytes` payload bytes.
struct FakeHidProgrammer {
    // Script.
    bool present = true;
    platform::ReportLengths lengths{65, 65, 65};
    size_t replyChunkBytes = 64;
    Bytes identifyReply = {0x03, 0x06, 0x00, 0x00};  // to 0xC5
    Bytes commandReply = {'A'};                      // to 0xC0..0xC3
    Bytes finalReplies = {'A'};                      // one report per byte, after the image
    Bytes dumpAck = {'A'};                           // to 0xC4
    Bytes dumpData;                                  // sent after the acknowledgement
    std::optional<uint8_t> modeSwitchReply = 'A';    // to 0xC6
    int failedOpensBeforeUpdateMode = 0;             // -1: it never re-appears
    uint16_t checksumAnswerXor = 0;                  // corrupts the checksum answer
    int failFeatureSetAt = -1;                       // index of a set that fails

    // Record.
    std::vector<Bytes> outputReports;   // whole reports as written
    std::vector<Bytes> featureReports;  // whole feature reports as set
    Bytes receivedImage;                // image bytes after a program command
    Bytes flashedFirmware;              // data of the firmware-update mode
    int openHandles = 0;
    int updateModeOpenAttempts = 0;
    int installationWaits = 0;
    bool restartRequested = false;

    // State.
    uint16_t productId = 0x0323;
    Bytes stream;  // output payload not yet consumed
    size_t imageBytesExpected = 0;
    bool receivingImage = false;
    bool switchRequested = false;
    size_t firmwareBytesExpected = 0;
    std::deque<Bytes> inputReports;

    // The payload of every output report, concatenated.
    Bytes sentStream() const;
    void queueReply(const Bytes& payload);
    void takeOutput(std::span<const uint8_t> payload);
};

// The older programmer behind the pipe link. Messages are the data phases of
// the link's write commands; reads are answered from `answers` per request.
struct FakePipeProgrammer {
    struct Message {
        bool fromHost;
        Bytes bytes;
    };

    // Script.
    bool present = true;
    std::deque<Bytes> identifierAnswers;  // to 0x55 0xAA; the last one repeats
    Bytes defaultIdentifier = {0x05, 0x51};
    std::deque<Bytes> programReplies;  // 3-byte replies after an image; empty:
                                       // the correct checksum and status 0x00
    uint16_t checksumReplyXor = 0;
    uint8_t dumpAck = 0x00;
    Bytes dumpData;
    int failedOpensAfterBoot = 0;  // -1: it never comes back

    // Record.
    std::vector<Message> messages;
    std::vector<uint32_t> timeouts;  // PipeSetTimeout values
    int openAttempts = 0;
    int openHandles = 0;
    bool bootRequested = false;  // then it is away for failedOpensAfterBoot opens

    // State.
    enum class Expect { Command, WriteData } expect = Expect::Command;
    uint32_t dataRemaining = 0;
    Bytes data;
    std::deque<uint8_t> readable;    // bytes the read pipe delivers next
    std::deque<Bytes> pendingReads;  // answers to the next read commands
    uint16_t lastIdentifier = 0;
    int opensSinceBoot = 0;
    bool awaitingReply = false;  // a header came: reads get the final reply
    uint16_t imageChecksum = 0;
    Bytes image;  // the last image or firmware received

    std::vector<Bytes> hostMessages() const;
    void takeWrite(std::span<const uint8_t> bytes);
    void answerRead(uint32_t count);
    void onMessage(const Bytes& message);
};

// The seam with both fakes plugged in; installs itself for the test's lifetime.
class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();

    FakeHidProgrammer hid;
    FakePipeProgrammer pipe;
    VirtualClock clock;

private:
    class HidBus;
    class PipeBus;
    std::unique_ptr<HidBus> hidBus_;
    std::unique_ptr<PipeBus> pipeBus_;
    platform::Platform platform_;
};

}  // namespace korvid::testing
