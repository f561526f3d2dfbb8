// One opened device of the older programmer through the still-image USB pipe
// interface ("\\.\UsbscanN"): its read and write data pipes are the handle's
// overlapped ReadFile and WriteFile.
#pragma once

#include "link/backends/windows/unique_handle.h"
#include "link/platform.h"

namespace korvid::platform {

class UsbscanPipeDevice final : public PipeDevice {
public:
    // A pipe request other than a transfer waits at most this long.
    static constexpr uint32_t kRequestTimeoutMs = 5000;

    // Takes a handle opened for overlapped reading and writing.
    explicit UsbscanPipeDevice(UniqueHandle handle);

    // ReadFile on the read data pipe, WriteFile on the write data pipe, cancelled
    // after timeoutMs. A failure with a device error (ERROR_IO_DEVICE, ERROR_CRC,
    // ERROR_BAD_COMMAND) is a device fault.
    TransferResult transfer(Pipe pipe, uint8_t* data, size_t length, uint32_t timeoutMs,
                            size_t& moved) override;

    // IOCTL_CANCEL_IO, then IOCTL_RESET_PIPE, each with the pipe type as input;
    // their results are not examined.
    void resetPipe(Pipe pipe) override;

private:
    UniqueHandle handle_;
};

}  // namespace korvid::platform
