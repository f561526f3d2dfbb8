#include "link/pipe_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "link/pipe_blocks.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::link {
namespace {

using sim::BytesOf;
using sim::TrafficKind;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<uint8_t> block(const CommandBlockFields& fields) {
    const PipeBlock b = BuildCommandBlock(fields);
    return {b.begin(), b.end()};
}

class PipeLinkTest : public ::testing::Test {
protected:
    bool open() { return PipeDevice::Open(kVendorId, kPipeProduct, 1) == PIPE_DONE; }
    std::vector<size_t> writeSizes() const {
        std::vector<size_t> sizes;
        for (const auto& bytes : BytesOf(programmer->traffic(), TrafficKind::PipeWrite)) {
            sizes.push_back(bytes.size());
        }
        return sizes;
    }

    sim::SimulatedPlatform sim;
    sim::SimulatedPipeProgrammer* programmer = &sim.attachPipeProgrammer();
    sim::ScopedTestPlatform use{sim.platform()};
};

TEST_F(PipeLinkTest, AnyCommandWithoutAnOpenDeviceReturnsFF) {
    uint8_t byte = 0;
    EXPECT_EQ(PipeSetTimeout(1), PIPE_NOT_OPEN);
    EXPECT_EQ(PipeRead(&byte, 1), PIPE_NOT_OPEN);
    EXPECT_EQ(PipeRead(&byte, 0), PIPE_NOT_OPEN);
    EXPECT_EQ(PipeWrite(&byte, 1), PIPE_NOT_OPEN);
    EXPECT_EQ(PipeWriteWait(&byte, 1, 30), PIPE_NOT_OPEN);
    EXPECT_EQ(ReadPipe(&byte, 1), PIPE_NOT_OPEN);
    EXPECT_EQ(WritePipe(&byte, 1), PIPE_NOT_OPEN);
    EXPECT_TRUE(programmer->traffic().empty());
}

TEST_F(PipeLinkTest, OpenFindsTheNthMatchAndCloseReleasesIt) {
    auto& second = sim.attachPipeProgrammer();
    EXPECT_EQ(PipeDevice::Open(kVendorId, kPipeProduct, 2), PIPE_DONE);
    EXPECT_EQ(second.openHandles(), 1);
    EXPECT_EQ(programmer->openHandles(), 0);
    ASSERT_TRUE(open());  // the first one (lower index) now, the other released
    EXPECT_EQ(programmer->openHandles(), 1);
    EXPECT_EQ(second.openHandles(), 0);
    PipeDevice::Close();
    PipeDevice::Close();
    EXPECT_FALSE(PipeDevice::IsOpen());
    EXPECT_EQ(programmer->openHandles(), 0);
    EXPECT_EQ(PipeDevice::Open(kVendorId, kPipeProduct, 3), PIPE_NOT_OPEN);
    EXPECT_EQ(PipeDevice::Open(kVendorId, 0x0323, 1), PIPE_NOT_OPEN);
}

TEST_F(PipeLinkTest, SetTimeoutSendsItsBlockAndSetsThePollLimit) {
    ASSERT_TRUE(open());
    EXPECT_EQ(PipeSetTimeout(0xFFFF), PIPE_DONE);
    EXPECT_EQ(pollLimit(), 65535u + 1000u);
    EXPECT_EQ(PipeSetTimeout(0x12345), PIPE_DONE);  // only the low 16 bits count
    EXPECT_EQ(pollLimit(), 0x2345u + 1000u);
    const auto& t = programmer->traffic();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].kind, TrafficKind::PipeWrite);
    EXPECT_THAT(t[0].bytes, ElementsAreArray(block({PIPE_COMMAND_SET_TIMEOUT, 0xFFFF, 0})));
    EXPECT_EQ(t[1].kind, TrafficKind::PipeRead);
    EXPECT_EQ(t[1].bytes.size(), kPipeBlockBytes);
    EXPECT_THAT(t[2].bytes, ElementsAreArray(block({PIPE_COMMAND_SET_TIMEOUT, 0x2345, 0})));
    EXPECT_EQ(sim.virtualClock()->busyWaitCount(), 2u);
    EXPECT_EQ(sim.virtualClock()->lastBusyWaitUs(), 800u);
    EXPECT_EQ(sim.virtualClock()->sleepCount(), 0u);
}

TEST_F(PipeLinkTest, ZeroCountSendsNothing) {
    ASSERT_TRUE(open());
    uint8_t byte = 0;
    EXPECT_EQ(PipeRead(&byte, 0), PIPE_DONE);
    EXPECT_EQ(PipeWrite(&byte, 0), PIPE_DONE);
    EXPECT_TRUE(programmer->traffic().empty());
}

TEST_F(PipeLinkTest, DataPhasesAreSplitAt65536Bytes) {
    ASSERT_TRUE(open());
    std::vector<uint8_t> data(131072, 0x5C);
    const struct {
        uint32_t count;
        std::vector<size_t> writes;
    } cases[] = {
        {65536, {13, 65536}}, {65537, {13, 65536, 1}}, {131072, {13, 65536, 65536}}, {1, {13, 1}}};
    for (const auto& c : cases) {
        programmer->clearTraffic();
        EXPECT_EQ(PipeWrite(data.data(), c.count), PIPE_DONE) << c.count;
        EXPECT_EQ(writeSizes(), c.writes) << c.count;
        EXPECT_THAT(programmer->traffic().front().bytes,
                    ElementsAreArray(block({PIPE_COMMAND_WRITE, 0, c.count})));
        EXPECT_EQ(programmer->traffic().back().kind, TrafficKind::PipeRead);  // status block
    }
}

TEST_F(PipeLinkTest, ReadHasNoStatusBlock) {
    ASSERT_TRUE(open());
    const std::vector<uint8_t> hello{0x55, 0xAA};
    ASSERT_EQ(PipeWrite(hello.data(), 2), PIPE_DONE);
    programmer->clearTraffic();
    std::vector<uint8_t> answer(2, 0);
    EXPECT_EQ(PipeRead(answer.data(), 2), PIPE_DONE);
    EXPECT_THAT(answer, ElementsAre(0x05, 0x51));
    const auto& t = programmer->traffic();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_THAT(t[0].bytes, ElementsAreArray(block({PIPE_COMMAND_READ, 0, 2})));
    EXPECT_THAT(t[1].bytes, ElementsAre(0x05, 0x51));
}

TEST_F(PipeLinkTest, StatusBlockErrorResetsReadThenWritePipe) {
    programmer->options().statusErrorAt = 0;
    ASSERT_TRUE(open());
    const uint8_t byte = 0x00;
    EXPECT_EQ(PipeWrite(&byte, 1), PIPE_DEVICE_FAULT);
    const auto resets = BytesOf(programmer->traffic(), TrafficKind::PipeReset);
    ASSERT_EQ(resets.size(), 2u);
    EXPECT_THAT(resets[0], ElementsAre(READ_DATA_PIPE));
    EXPECT_THAT(resets[1], ElementsAre(WRITE_DATA_PIPE));
}

TEST_F(PipeLinkTest, WriteWaitPausesBeforeTheStatusBlock) {
    ASSERT_TRUE(open());
    const uint8_t byte = 0xFF;
    EXPECT_EQ(PipeWriteWait(&byte, 1, 30), PIPE_DONE);
    EXPECT_EQ(sim.virtualClock()->elapsedUs(), 800u + 30000u);
}

TEST_F(PipeLinkTest, UnansweredReadTimesOutAfterThePollLimit) {
    ASSERT_TRUE(open());
    ASSERT_EQ(PipeSetTimeout(8000), PIPE_DONE);
    uint8_t byte = 0;
    EXPECT_EQ(PipeRead(&byte, 1), PIPE_TIMEOUT);
    EXPECT_EQ(sim.virtualClock()->elapsedMs(), 9001u);  // 2 × 800 µs + 9000 ms
}

// A pipe device whose transfers end as scripted, to map each platform outcome.
class ScriptedPipe : public platform::PipeDevice, public platform::PipeBus {
public:
    std::deque<platform::TransferResult> results;
    std::vector<std::pair<platform::Pipe, size_t>> transfers;
    std::vector<platform::Pipe> resets;
    std::vector<uint32_t> timeouts;

    platform::TransferResult transfer(platform::Pipe pipe, uint8_t* data, size_t length,
                                      uint32_t timeoutMs, size_t& moved) override {
        transfers.emplace_back(pipe, length);
        timeouts.push_back(timeoutMs);
        if (pipe == platform::Pipe::Read) {
            std::fill(data, data + length, 0);
        }
        moved = length;
        if (results.empty()) {
            return platform::TransferResult::Done;
        }
        const auto result = results.front();
        results.pop_front();
        return result;
    }
    void resetPipe(platform::Pipe pipe) override { resets.push_back(pipe); }

    std::vector<platform::PipeDeviceInfo> enumerate(uint16_t, uint16_t) override {
        return {{"1-1", "", "/dev/bus/usb/001/002", true}};
    }
    std::unique_ptr<platform::PipeDevice> open(uint16_t, uint16_t, unsigned,
                                               platform::OpenFailure&) override {
        return std::make_unique<Forward>(*this);
    }

private:
    struct Forward : platform::PipeDevice {
        explicit Forward(ScriptedPipe& to) : to(to) {}
        platform::TransferResult transfer(platform::Pipe p, uint8_t* d, size_t l, uint32_t t,
                                          size_t& m) override {
            return to.transfer(p, d, l, t, m);
        }
        void resetPipe(platform::Pipe p) override { to.resetPipe(p); }
        ScriptedPipe& to;
    };
};

class PipeOutcomeTest : public ::testing::Test {
protected:
    PipeOutcomeTest() { PipeDevice::Open(kVendorId, kPipeProduct, 1); }

    ScriptedPipe pipe;
    sim::VirtualClock clock;
    platform::Platform platform{nullptr, &pipe, &clock};
    sim::ScopedTestPlatform use{platform};
};

TEST_F(PipeOutcomeTest, TransferOutcomesMapToStatuses) {
    using R = platform::TransferResult;
    uint8_t byte = 0;
    const struct {
        R result;
        bool read;
        uint8_t status;
    } cases[] = {{R::Done, true, 0},         {R::Done, false, 0},       {R::StartFailed, true, 2},
                 {R::StartFailed, false, 1}, {R::Timeout, true, 3},     {R::Failed, false, 4},
                 {R::DeviceFault, true, 6},  {R::DeviceFault, false, 6}};
    for (const auto& c : cases) {
        pipe.results = {c.result};
        pipe.resets.clear();
        EXPECT_EQ(c.read ? ReadPipe(&byte, 1) : WritePipe(&byte, 1), c.status);
        if (c.result == R::DeviceFault) {
            EXPECT_THAT(pipe.resets,
                        ElementsAre(c.read ? platform::Pipe::Read : platform::Pipe::Write));
        } else {
            EXPECT_TRUE(pipe.resets.empty());
        }
    }
}

TEST_F(PipeOutcomeTest, SingleTransferBeyond65536BytesIsNotStarted) {
    std::vector<uint8_t> data(kPipeTransferMaxBytes + 1);
    const auto length = static_cast<uint32_t>(data.size());
    EXPECT_EQ(ReadPipe(data.data(), length), PIPE_READ_NOT_STARTED);
    EXPECT_EQ(WritePipe(data.data(), length), PIPE_WRITE_NOT_STARTED);
    EXPECT_TRUE(pipe.transfers.empty());
    EXPECT_EQ(WritePipe(data.data(), length - 1), PIPE_DONE);
}

TEST_F(PipeOutcomeTest, PollLimitIsTheTransferTimeout) {
    PipeSetTimeout(0);
    uint8_t byte = 0;
    ReadPipe(&byte, 1);
    EXPECT_EQ(pipe.timeouts.back(), 1000u);
}

TEST_F(PipeOutcomeTest, FailedCommandBlockEndsTheExchange) {
    pipe.results = {platform::TransferResult::Failed};
    std::vector<uint8_t> data(4);
    EXPECT_EQ(PipeWrite(data.data(), 4), PIPE_FAILED);
    EXPECT_EQ(pipe.transfers.size(), 1u);
}

TEST_F(PipeOutcomeTest, FailedDataPhaseStillReadsOneStatusBlock) {
    using R = platform::TransferResult;
    pipe.results = {R::Done, R::Timeout, R::Done};
    std::vector<uint8_t> data(70000);
    EXPECT_EQ(PipeWrite(data.data(), 70000), PIPE_TIMEOUT);
    ASSERT_EQ(pipe.transfers.size(), 3u);  // block, first 65536 bytes (failed), status block
    EXPECT_EQ(pipe.transfers[1], std::make_pair(platform::Pipe::Write, size_t{65536}));
    EXPECT_EQ(pipe.transfers[2], std::make_pair(platform::Pipe::Read, kPipeBlockBytes));
}

TEST_F(PipeOutcomeTest, FailedReadPhaseEndsAtTheFirstFailingTransfer) {
    using R = platform::TransferResult;
    pipe.results = {R::Done, R::Failed};
    std::vector<uint8_t> data(131072);
    EXPECT_EQ(PipeRead(data.data(), 131072), PIPE_FAILED);
    EXPECT_EQ(pipe.transfers.size(), 2u);
}

}  // namespace
}  // namespace korvid::link
