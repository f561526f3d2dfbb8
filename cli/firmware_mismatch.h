// Library calls that may meet a programmer with mismatching firmware: the
// re-flash is asked for on a terminal or decided by the command line, never
// done silently.
#pragma once

#include "commands.h"

#include <cstdint>
#include <functional>

namespace korvid::cli {

// UpdateFW behind a progress line; returns its result.
uint8_t RunFirmwareUpdate(const Reporter& out);

// Runs call; while it returns RC_FIRMWARE_MISMATCH, re-flashes if the policy (or
// the user's answer) allows and calls again. A declined re-flash throws a
// FirmwareMismatch failure; a failed re-flash's result is returned.
uint8_t WithFirmwareCheck(const Reporter& out, FirmwarePolicy policy,
                          const std::function<uint8_t()>& call);

// Throws the failure for a non-zero programmer result, telling a programmer that
// is present but not accessible apart from one that is absent.
void ThrowForResult(uint8_t result, MessageTable table);

}  // namespace korvid::cli
