// The Windows device classes' transfers, over named pipes that stand in for the
// devices: a message pipe delivers whole reports as a HID interface does, a byte
// pipe carries the older programmer's data pipes. Wine answers these fully, so
// the time-out, cancel and failure paths run here as on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "link/backends/windows/unique_handle.h"
#include "link/backends/windows/usbscan_pipe_device.h"
#include "link/backends/windows/windows_hid_device.h"

namespace korvid::platform {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kShortTimeoutMs = 30;

// One named pipe: the server end the test plays the device on, and the client end
// opened for overlapped I/O as the backends open a device.
struct PipePair {
    UniqueHandle server;
    UniqueHandle client;

    explicit PipePair(bool messages) {
        static int count = 0;
        const std::string name = "\\\\.\\pipe\\korvid-backend-test-" +
                                 std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(++count);
        const DWORD mode = messages ? PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE : PIPE_TYPE_BYTE;
        server = UniqueHandle(CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, mode | PIPE_WAIT,
                                               1, 4096, 4096, 0, nullptr));
        client = UniqueHandle(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (messages && client.valid()) {
            DWORD readMode = PIPE_READMODE_MESSAGE;
            SetNamedPipeHandleState(client.get(), &readMode, nullptr, nullptr);
        }
    }

    void send(const Bytes& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(server.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr));
        ASSERT_EQ(written, bytes.size());
    }

    Bytes receive(size_t length) {
        Bytes bytes(length);
        DWORD got = 0;
        EXPECT_TRUE(
            ReadFile(server.get(), bytes.data(), static_cast<DWORD>(length), &got, nullptr));
        bytes.resize(got);
        return bytes;
    }
};

TEST(WindowsHidDevice, ReportsTimeOutCancelledArePaddedAndEndWithTheDevice) {
    PipePair pipe(true);
    ASSERT_TRUE(pipe.server.valid() && pipe.client.valid());
    WindowsHidDevice device(std::move(pipe.client), ReportLengths{65, 65, 0});

    // Nothing comes: the read is cancelled after its time-out, the buffer untouched.
    Bytes report(65, 0xAA);
    EXPECT_EQ(device.readInputReport(report.data(), report.size(), kShortTimeoutMs),
              ReadResult::Timeout);
    EXPECT_EQ(report, Bytes(65, 0xAA));

    // The handle still reads after the cancel; a short report is padded with zeros.
    pipe.send({0x00, 0x03, 'A', 'B', 'C'});
    ASSERT_EQ(device.readInputReport(report.data(), report.size(), 1000), ReadResult::Report);
    Bytes expected(65, 0x00);
    expected[1] = 0x03;
    expected[2] = 'A';
    expected[3] = 'B';
    expected[4] = 'C';
    EXPECT_EQ(report, expected);

    // A caller's buffer shorter than the interface's reports gets their start.
    pipe.send(Bytes(65, 0x11));
    Bytes start(4, 0xAA);
    ASSERT_EQ(device.readInputReport(start.data(), start.size(), 1000), ReadResult::Report);
    EXPECT_EQ(start, Bytes(4, 0x11));

    Bytes output(65, 0xFF);
    output[0] = 0x00;
    output[1] = 0x1F;
    EXPECT_TRUE(device.writeOutputReport(output.data(), output.size()));
    EXPECT_EQ(pipe.receive(100), output);

    // Feature reports go through the HID class driver, which a pipe is not.
    EXPECT_FALSE(device.setFeatureReport(output.data(), output.size()));
    EXPECT_FALSE(device.getFeatureReport(output.data(), output.size()));

    // The device goes away: the read fails at once instead of timing out.
    pipe.server.reset();
    EXPECT_EQ(device.readInputReport(report.data(), report.size(), 60000), ReadResult::Error);
    EXPECT_FALSE(device.writeOutputReport(output.data(), output.size()));
}

TEST(UsbscanPipeDevice, TransfersTimeOutMoveTheirBytesAndFailWithoutDevice) {
    PipePair pipe(false);
    ASSERT_TRUE(pipe.server.valid() && pipe.client.valid());
    UsbscanPipeDevice device(std::move(pipe.client));

    Bytes status(13, 0x5A);
    size_t moved = 99;
    EXPECT_EQ(device.transfer(Pipe::Read, status.data(), status.size(), kShortTimeoutMs, moved),
              TransferResult::Timeout);
    EXPECT_EQ(moved, 0u);

    Bytes reply(13, 0x00);
    reply[12] = 0x01;
    pipe.send(reply);
    EXPECT_EQ(device.transfer(Pipe::Read, status.data(), status.size(), 1000, moved),
              TransferResult::Done);
    EXPECT_EQ(moved, 13u);
    EXPECT_EQ(status, reply);

    Bytes command{0x5A, 0xA5, 0x92, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(device.transfer(Pipe::Write, command.data(), command.size(), 1000, moved),
              TransferResult::Done);
    EXPECT_EQ(moved, command.size());
    EXPECT_EQ(pipe.receive(command.size()), command);

    // A pipe is no still-image device: the reset's requests fail, unexamined and bounded.
    device.resetPipe(Pipe::Read);
    device.resetPipe(Pipe::Write);

    // The device goes away: the read cannot even start, and says so at once.
    pipe.server.reset();
    EXPECT_EQ(device.transfer(Pipe::Read, status.data(), status.size(), 60000, moved),
              TransferResult::StartFailed);
}

}  // namespace
}  // namespace korvid::platform
