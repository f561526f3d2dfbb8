// What libusb's error codes mean for the pipe operations.
#pragma once

#include "link/platform.h"

namespace korvid::platform {

// The outcome of libusb_bulk_transfer: time-out, stall (device fault), I/O
// error, overflow or a vanished device (failed), anything else (not started).
TransferResult transferResultFromLibusb(int code);

// Why libusb_open or libusb_claim_interface failed.
OpenFailure openFailureFromLibusb(int code);

}  // namespace korvid::platform
