// How the platform seam's values are spelled in a trace, in both directions: the
// recorder writes these names and the replay reads them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/platform.h"

namespace korvid::trace {

// "ok" stands for a successful open (OpenFailure::None).
std::string_view OpenResultName(platform::OpenFailure failure);
std::optional<platform::OpenFailure> ParseOpenResult(std::string_view name);

std::string_view ReadResultName(platform::ReadResult result);
std::optional<platform::ReadResult> ParseReadResult(std::string_view name);

std::string_view TransferResultName(platform::TransferResult result);
std::optional<platform::TransferResult> ParseTransferResult(std::string_view name);

std::string_view PipeName(platform::Pipe pipe);
std::optional<platform::Pipe> ParsePipe(std::string_view name);

// USB vendor and product identifiers: four lower-case hexadecimal digits.
std::string IdName(uint16_t id);
std::optional<uint16_t> ParseId(std::string_view name);

// Results of the calls that only succeed or fail: "ok" or "failed".
std::string_view SuccessName(bool succeeded);
std::optional<bool> ParseSuccess(std::string_view name);

// Properties that hold or not, such as a device's accessibility: "yes" or "no".
std::string_view YesNoName(bool yes);
std::optional<bool> ParseYesNo(std::string_view name);

}  // namespace korvid::trace
