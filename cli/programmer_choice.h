// Which attached programmer an operation reaches: the list the library sees and
// the --device selection (a USB location such as "1-2.3" or a USB serial string).
#pragma once

#include "korvid_ext.h"
#include "report.h"

#include <optional>
#include <string>
#include <vector>

namespace korvid::cli {

// The listed programmer whose location or USB serial is device.
std::optional<KorvidProgrammerInfo> FindProgrammer(const std::vector<KorvidProgrammerInfo>& list,
                                                   const std::string& device);

// Selects device (when given; otherwise KORVID_DEVICE, which the library follows
// by itself) for the following operations of this process and returns the programmer they reach as
// listed: the selected one, or the first one. Throws a NoDevice failure when device names no
// attached programmer; without device and with none attached, returns nullopt and lets the
// operation report it.
std::optional<KorvidProgrammerInfo> ChooseProgrammer(const std::optional<std::string>& choice);

// "location" and "programmerSerial" of a programmer, for results and the log.
Json ProgrammerFields(const std::optional<KorvidProgrammerInfo>& programmer);

}  // namespace korvid::cli
