#include "link/backends/libusb_pipe_device.h"

#include <libusb.h>

#include <algorithm>
#include <climits>

#include "link/backends/libusb_results.h"

namespace korvid::platform {

LibusbPipeDevice::LibusbPipeDevice(libusb_context* context, libusb_device_handle* handle,
                                   BulkPipes pipes)
    : context_(context), handle_(handle), pipes_(pipes) {}

LibusbPipeDevice::~LibusbPipeDevice() {
    libusb_release_interface(handle_, 0);
    libusb_close(handle_);
    libusb_exit(context_);
}

TransferResult LibusbPipeDevice::transfer(Pipe pipe, uint8_t* data, size_t length,
                                          uint32_t timeoutMs, size_t& moved) {
    moved = 0;
    if (length > INT_MAX) {
        return TransferResult::StartFailed;
    }
    int transferred = 0;
    const int code = libusb_bulk_transfer(handle_, endpoint(pipe), data, static_cast<int>(length),
                                          &transferred, std::max<uint32_t>(timeoutMs, 1));
    // Bytes may have moved even when the transfer timed out or failed.
    moved = static_cast<size_t>(std::max(transferred, 0));
    return transferResultFromLibusb(code);
}

void LibusbPipeDevice::resetPipe(Pipe pipe) {
    libusb_clear_halt(handle_, endpoint(pipe));
}

}  // namespace korvid::platform
