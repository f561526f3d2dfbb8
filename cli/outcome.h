// How a command ends: its exit status class, the library's result code where one
// is involved, and the message shown for it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace korvid::cli {

// Exit statuses, one per failure class. Programmer results each have their own.
enum class ExitStatus : int {
    Ok = 0,
    Usage = 2,              // bad command line
    BadSetting = 3,         // unknown part or option, count, serial text, address
    FileError = 4,          // input cannot be read, output cannot be written (230)
    ImageTooLarge = 5,      // the image exceeds the part's flash and --truncate was not given
    ProjectRefused = 6,     // project file refused (231 to 236), or its part is unknown
    NotIntelHex = 7,        // read as Intel HEX, but its first line is not a good record
    IntelHexAsBinary = 8,   // Intel HEX text that would be taken as raw bytes
    CounterCorrupt = 9,     // the serial counter file does not hold a counter value
    Refused = 10,           // 224 the programmer refused the command
    NoDevice = 11,          // 225 no programmer
    NotAccessible = 12,     // 225, a programmer is attached but its node cannot be opened
    ResetError = 13,        // 226
    FirmwareFail = 14,      // 227
    Checksum = 15,          // 228
    TargetLocked = 16,      // 229
    FirmwareMismatch = 17,  // 237 and no re-flash allowed
    NoResource = 18,        // 239
    CommFail = 19,          // 240
    OtherResult = 20,       // any other result code of the library
    SomeFailed = 21,        // of several programmers or --repeat units, some failed
};

// The table a programmer result's message comes from.
enum class MessageTable { Update, Dump };

ExitStatus ExitStatusForResult(uint8_t result);

// The English member of the dialog's message for a programmer result.
std::string ProgrammerMessage(uint8_t result, MessageTable table);

// The English member of the project load message for LoadKPJInfo/LoadKPJBuffer.
std::string ProjectMessage(uint8_t result, const std::string& path);

// A failed command: thrown by the steps of a command and reported by main.
class CommandFailure : public std::runtime_error {
public:
    CommandFailure(ExitStatus status, const std::string& message,
                   std::optional<uint8_t> result = std::nullopt)
        : std::runtime_error(message), status_(status), result_(result) {}
    ExitStatus status() const { return status_; }
    std::optional<uint8_t> result() const { return result_; }

private:
    ExitStatus status_;
    std::optional<uint8_t> result_;
};

}  // namespace korvid::cli
