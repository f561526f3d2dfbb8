#include "link/backends/windows/usbscan_pipe_device.h"

#include <windows.h>

#include <usbscan.h>

#include "link/backends/windows/overlapped_transfer.h"

namespace korvid::platform {

UsbscanPipeDevice::UsbscanPipeDevice(UniqueHandle handle) : handle_(std::move(handle)) {}

TransferResult UsbscanPipeDevice::transfer(Pipe pipe, uint8_t* data, size_t length,
                                           uint32_t timeoutMs, size_t& moved) {
    DWORD error = 0;
    return overlappedTransfer(handle_.get(),
                              pipe == Pipe::Read ? Direction::Read : Direction::Write, data, length,
                              timeoutMs, moved, error);
}

void UsbscanPipeDevice::resetPipe(Pipe pipe) {
    // The pipe types of the still-image interface: READ_DATA_PIPE 1, WRITE_DATA_PIPE 2.
    const DWORD type = pipe == Pipe::Read ? READ_DATA_PIPE : WRITE_DATA_PIPE;
    boundedDeviceIoControl(handle_.get(), IOCTL_CANCEL_IO, &type, sizeof type, nullptr, 0,
                           kRequestTimeoutMs);
    boundedDeviceIoControl(handle_.get(), IOCTL_RESET_PIPE, &type, sizeof type, nullptr, 0,
                           kRequestTimeoutMs);
}

}  // namespace korvid::platform
