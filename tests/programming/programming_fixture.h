// Shared set-up of the operation tests: the simulated programmers on a clock
// that records every pause, a job record with its own code buffer, views of the
// recorded traffic, and a check that every operation leaves the devices closed.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::testing {

using Bytes = std::vector<uint8_t>;

// Records pauses instead of sleeping.
class RecordingClock : public platform::Clock {
public:
    void sleepMs(uint32_t milliseconds) override {
        pausesMs.push_back(milliseconds);
        nowUs_ += uint64_t{milliseconds} * 1000;
    }
    void busyWaitUs(uint32_t microseconds) override { nowUs_ += microseconds; }
    uint64_t nowUs() override { return nowUs_; }

    uint64_t totalPauseMs() const {
        uint64_t total = 0;
        for (uint32_t pause : pausesMs) {
            total += pause;
        }
        return total;
    }

    std::vector<uint32_t> pausesMs;

private:
    uint64_t nowUs_ = 0;
};

inline Bytes command31(uint8_t code) {
    Bytes command(31, 0xFF);
    command[0] = code;
    return command;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A pseudo-random image of n bytes that starts like a programmer firmware.
inline Bytes firmwareImage(size_t n) {
    Bytes image(n);
    uint32_t state = 0x12345678;
    for (uint8_t& b : image) {
        state = state * 1103515245 + 12345;
        b = static_cast<uint8_t>(state >> 16);
    }
    image[0] = 0x02;
    return image;
}

// The payload of every output report the host wrote, concatenated.
inline Bytes hostStream(const sim::Traffic& traffic) {
    Bytes stream;
    for (const Bytes& report : sim::BytesOf(traffic, sim::TrafficKind::OutputReport)) {
        stream.insert(stream.end(), report.begin() + 1, report.begin() + 1 + report[0]);
    }
    return stream;
}

// The data phases of the host's pipe write commands, one message each.
inline std::vector<Bytes> pipeMessages(const sim::Traffic& traffic) {
    std::vector<Bytes> messages;
    size_t remaining = 0;
    for (const Bytes& transfer : sim::BytesOf(traffic, sim::TrafficKind::PipeWrite)) {
        if (remaining > 0) {
            messages.back().insert(messages.back().end(), transfer.begin(), transfer.end());
            remaining -= std::min(remaining, transfer.size());
        } else if (transfer.size() == 13 && transfer[2] == 0x92) {
            remaining =
                transfer[8] | transfer[9] << 8 | transfer[10] << 16 | size_t{transfer[11]} << 24;
            messages.emplace_back();
        }
    }
    return messages;
}

class ProgrammingTest : public ::testing::Test {
protected:
    ProgrammingTest() {
        job.partIndex = 3;
        job.maxCount = 0xFFFF;
        code = firmwareImage(0x300);
        job.codeLength = static_cast<uint32_t>(code.size());
        job.codeBuffer = code.data();
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    ~ProgrammingTest() override {
        for (const sim::SimulatedHidProgrammer* programmer : hidProgrammers_) {
            EXPECT_EQ(programmer->openHandles(), 0) << "HID link left open";
        }
        for (const sim::SimulatedPipeProgrammer* programmer : pipeProgrammers_) {
            EXPECT_EQ(programmer->openHandles(), 0) << "pipe device left open";
        }
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    sim::SimulatedHidProgrammer& attachHid(sim::HidProgrammerOptions options = {}) {
        hidProgrammers_.push_back(&sim.attachHidProgrammer(std::move(options)));
        return *hidProgrammers_.back();
    }

    sim::SimulatedPipeProgrammer& attachPipe(sim::PipeProgrammerOptions options = {}) {
        pipeProgrammers_.push_back(&sim.attachPipeProgrammer(std::move(options)));
        return *pipeProgrammers_.back();
    }

    RecordingClock& clock() { return static_cast<RecordingClock&>(sim.clock()); }

    void setSerialNumbers(uint32_t address) {
        job.serialFlags = 0x01;
        job.serialAddress = address;
        job.serialNumber = 1000;
        std::memcpy(job.serialText, "KORVID-UNIT ", KORVID_SERIAL_TEXT_SIZE);
    }

    sim::SimulatedPlatform sim{std::make_unique<RecordingClock>()};
    sim::ScopedTestPlatform use{sim.platform()};
    Bytes code;
    JobRecord job{};

private:
    std::vector<sim::SimulatedHidProgrammer*> hidProgrammers_;
    std::vector<sim::SimulatedPipeProgrammer*> pipeProgrammers_;
};

}  // namespace korvid::testing
