#include "link/backends/libusb_results.h"

#include <libusb.h>

namespace korvid::platform {

TransferResult transferResultFromLibusb(int code) {
    switch (code) {
        case LIBUSB_SUCCESS:
            return TransferResult::Done;
        case LIBUSB_ERROR_TIMEOUT:
            return TransferResult::Timeout;
        case LIBUSB_ERROR_PIPE:
            return TransferResult::DeviceFault;
        case LIBUSB_ERROR_IO:
        case LIBUSB_ERROR_OVERFLOW:
        case LIBUSB_ERROR_NO_DEVICE:
            return TransferResult::Failed;
        default:
            return TransferResult::StartFailed;
    }
}

OpenFailure openFailureFromLibusb(int code) {
    switch (code) {
        case LIBUSB_SUCCESS:
            return OpenFailure::None;
        case LIBUSB_ERROR_ACCESS:
            return OpenFailure::AccessDenied;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return OpenFailure::NotFound;
        case LIBUSB_ERROR_BUSY:
            return OpenFailure::Busy;
        default:
            return OpenFailure::Other;
    }
}

}  // namespace korvid::platform
