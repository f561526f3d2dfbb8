#include "link/backends/windows/overlapped_transfer.h"

#include <limits>

#include "link/backends/windows/unique_handle.h"

namespace korvid::platform {
namespace {

// Waits for a started overlapped request; cancels it after timeoutMs. True when it
// succeeded, with its byte count; false with the error otherwise (the error of a
// request cancelled for the time-out is ERROR_OPERATION_ABORTED, and timedOut set).
bool awaitRequest(HANDLE handle, OVERLAPPED& overlapped, uint32_t timeoutMs, DWORD& bytes,
                  DWORD& error, bool& timedOut) {
    timedOut = false;
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        timedOut = true;
        CancelIo(handle);
    }
    // Waits for the end of the request, cancelled or not: only then may its buffer go.
    if (GetOverlappedResult(handle, &overlapped, &bytes, TRUE)) {
        timedOut = false;  // it completed after all
        error = 0;
        return true;
    }
    error = GetLastError();
    return false;
}

}  // namespace

bool isDeviceFault(DWORD error) {
    return error == ERROR_IO_DEVICE || error == ERROR_CRC || error == ERROR_BAD_COMMAND;
}

TransferResult overlappedTransfer(HANDLE handle, Direction direction, uint8_t* data, size_t length,
                                  uint32_t timeoutMs, size_t& moved, DWORD& error) {
    moved = 0;
    error = 0;
    if (length > std::numeric_limits<DWORD>::max()) {
        error = ERROR_INVALID_PARAMETER;
        return TransferResult::StartFailed;
    }
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid()) {
        error = GetLastError();
        return TransferResult::StartFailed;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    const auto size = static_cast<DWORD>(length);
    const BOOL started = direction == Direction::Read
                             ? ReadFile(handle, data, size, nullptr, &overlapped)
                             : WriteFile(handle, data, size, nullptr, &overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        error = GetLastError();
        return TransferResult::StartFailed;
    }
    DWORD bytes = 0;
    bool timedOut = false;
    if (!awaitRequest(handle, overlapped, timeoutMs, bytes, error, timedOut)) {
        return timedOut               ? TransferResult::Timeout
               : isDeviceFault(error) ? TransferResult::DeviceFault
                                      : TransferResult::Failed;
    }
    moved = bytes;
    return TransferResult::Done;
}

bool boundedDeviceIoControl(HANDLE handle, DWORD code, const void* in, DWORD inLength, void* out,
                            DWORD outLength, uint32_t timeoutMs) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid()) {
        return false;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    if (!DeviceIoControl(handle, code, const_cast<void*>(in), inLength, out, outLength, nullptr,
                         &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    DWORD bytes = 0;
    DWORD error = 0;
    bool timedOut = false;
    return awaitRequest(handle, overlapped, timeoutMs, bytes, error, timedOut);
}

}  // namespace korvid::platform
