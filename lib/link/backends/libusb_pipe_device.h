// One opened device of the older programmer with its two bulk data pipes.
#pragma once

#include "link/backends/usb_selection.h"
#include "link/platform.h"

struct libusb_context;
struct libusb_device_handle;

namespace korvid::platform {

class LibusbPipeDevice final : public PipeDevice {
public:
    // Takes over an open handle whose interface 0 is claimed, and the libusb
    // context it was opened in.
    LibusbPipeDevice(libusb_context* context, libusb_device_handle* handle, BulkPipes pipes);
    // Releases interface 0 (the kernel driver comes back), closes the handle and
    // ends its context.
    ~LibusbPipeDevice() override;
    LibusbPipeDevice(const LibusbPipeDevice&) = delete;
    LibusbPipeDevice& operator=(const LibusbPipeDevice&) = delete;

    TransferResult transfer(Pipe pipe, uint8_t* data, size_t length, uint32_t timeoutMs,
                            size_t& moved) override;

    // Clears a halt on the pipe's endpoint. Transfers are synchronous, so none is
    // pending by the time this runs.
    void resetPipe(Pipe pipe) override;

private:
    uint8_t endpoint(Pipe pipe) const { return pipe == Pipe::Read ? pipes_.in : pipes_.out; }

    libusb_context* context_;
    libusb_device_handle* handle_;
    BulkPipes pipes_;
};

}  // namespace korvid::platform
