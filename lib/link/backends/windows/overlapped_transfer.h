// One read or write on a handle opened for overlapped I/O, bounded in time: the
// operation every Windows device transfer of the links is made of.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "link/platform.h"

namespace korvid::platform {

enum class Direction { Read, Write };

// Starts ReadFile / WriteFile of `length` bytes with an event and waits at most
// timeoutMs for it. A transfer still pending then is cancelled (CancelIo) and
// awaited, so that nothing touches `data` after the return; one that completed
// in the meantime counts as done. `moved` receives the bytes moved (0 unless
// Done); `error` the Windows error of a failure (0 otherwise).
TransferResult overlappedTransfer(HANDLE handle, Direction direction, uint8_t* data, size_t length,
                                  uint32_t timeoutMs, size_t& moved, DWORD& error);

// Whether a failed transfer's error is the device's own fault on the pipe (a
// stall, a CRC error, a refused request) rather than the host's.
bool isDeviceFault(DWORD error);

// DeviceIoControl on an overlapped handle, waited for at most timeoutMs (then
// cancelled and awaited). True when the request succeeded.
bool boundedDeviceIoControl(HANDLE handle, DWORD code, const void* in, DWORD inLength, void* out,
                            DWORD outLength, uint32_t timeoutMs);

}  // namespace korvid::platform
