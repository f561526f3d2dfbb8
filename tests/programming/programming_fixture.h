// Shared set-up of the operation tests: the scripted fake seam, a job record
// with its own code buffer, and checks that every operation leaves both links
// closed.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_programmer.h"
#include "firmware/firmware_images.h"
#include "korvid.h"

namespace korvid::testing {

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
        EXPECT_EQ(fake.hid.openHandles, 0) << "HID link left open";
        EXPECT_EQ(fake.pipe.openHandles, 0) << "pipe device left open";
        firmware::install(firmware::kHidProgrammerImage, std::nullopt);
        firmware::install(firmware::kPipeProgrammerImage, std::nullopt);
    }

    void useOnlyPipeProgrammer() { fake.hid.present = false; }

    void setSerialNumbers(uint32_t address) {
        job.serialFlags = 0x01;
        job.serialAddress = address;
        job.serialNumber = 1000;
        std::memcpy(job.serialText, "KORVID-UNIT ", KORVID_SERIAL_TEXT_SIZE);
    }

    FakePlatform fake;
    Bytes code;
    JobRecord job{};
};

}  // namespace korvid::testing
