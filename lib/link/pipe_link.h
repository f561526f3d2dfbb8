// The older programmer's link: bulk data pipes with a 13-byte command block in
// front of every exchange and a 13-byte status block after every write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/sent_observer.h"

namespace korvid::link {

inline constexpr uint16_t kPipeProduct = 0x030D;

// PipeStatus values.
enum PipeStatus : uint8_t {
    PIPE_DONE = 0,
    PIPE_WRITE_NOT_STARTED = 1,
    PIPE_READ_NOT_STARTED = 2,
    PIPE_TIMEOUT = 3,
    PIPE_FAILED = 4,
    PIPE_DEVICE_FAULT = 6,
    PIPE_NOT_OPEN = 0xFF
};

// True when a command exchange ended because a transfer never happened (it could not
// start, timed out or failed): the programmer took no part in it. A status the
// programmer reported itself (a device fault) is an answer, and not this.
inline bool NoTransfer(uint8_t status) {
    return status == PIPE_WRITE_NOT_STARTED || status == PIPE_READ_NOT_STARTED ||
           status == PIPE_TIMEOUT || status == PIPE_FAILED;
}

namespace PipeDevice {
// 0 when the n-th matching device was opened, 0xFF when none. With a programmer
// selected (link/selection.h) only the selected one counts, and when location is
// given only the device there (a programmer followed across its restart).
uint8_t Open(uint16_t vendorId, uint16_t productId, unsigned n, std::string_view location = {});
void Close();
bool IsOpen();
// The USB location of the open device; "" while closed or when the bus no longer
// lists it.
const std::string& Location();
}  // namespace PipeDevice

// One transfer of at most kPipeTransferMaxBytes on the read / write data pipe,
// waiting at most pollLimit() ms. A device fault resets that pipe (status 6).
inline constexpr uint32_t kPipeTransferMaxBytes = 65536;
uint8_t ReadPipe(uint8_t* buffer, uint32_t length);
uint8_t WritePipe(const uint8_t* buffer, uint32_t length);
// Cancels pending transfers on one data pipe and resets it; not awaited.
void ResetPipe(uint32_t pipeType);
inline constexpr uint32_t READ_DATA_PIPE = 1;
inline constexpr uint32_t WRITE_DATA_PIPE = 2;
// Busy-waits on the platform clock; never sleeps.
void DelayMicroseconds(uint16_t microseconds);

// Command exchanges; 0xFF when no device is open. Data phases longer than
// kPipeTransferMaxBytes are split into several transfers.
uint8_t PipeSetTimeout(uint32_t value);
// received, when given, is told how many bytes of the data phase arrived; a status
// of PIPE_DONE does not promise all of count.
uint8_t PipeRead(uint8_t* destination, uint32_t count, uint32_t* received = nullptr);
// afterTransfer, when given, is told the data bytes sent so far after each
// transfer of the data phase.
uint8_t PipeWrite(const uint8_t* source, uint32_t count, const SentObserver& afterTransfer = {});
uint8_t PipeWriteWait(const uint8_t* source, uint32_t count, uint32_t milliseconds);

// How many 1 ms polls one pipe transfer may wait (70000 until PipeSetTimeout).
inline constexpr uint32_t kInitialPollLimit = 70000;
uint32_t pollLimit();

}  // namespace korvid::link
