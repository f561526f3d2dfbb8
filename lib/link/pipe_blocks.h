// The 13-byte blocks of the older programmer's pipe protocol: a CommandBlock opens
// every exchange on the write pipe, a StatusBlock on the read pipe ends every write.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace korvid::link {

inline constexpr size_t kPipeBlockBytes = 13;
using PipeBlock = std::array<uint8_t, kPipeBlockBytes>;

enum PipeCommand : uint8_t {
    PIPE_COMMAND_READ = 0x91,
    PIPE_COMMAND_WRITE = 0x92,
    PIPE_COMMAND_SET_TIMEOUT = 0x93
};

struct CommandBlockFields {
    uint8_t command = 0;
    uint16_t timeout = 0;  // set time-out only
    uint32_t count = 0;    // read and write only: data bytes that follow
};

// 0x5A 0xA5 command 0x00, time-out (LE16), 0x0000, count (LE32), 0x00.
PipeBlock BuildCommandBlock(const CommandBlockFields& fields);
// The fields of a received block; nothing when it is not a command block.
std::optional<CommandBlockFields> ParseCommandBlock(std::span<const uint8_t> block);

// A status block whose byte 12 is `error` (0 = success), all else 0.
PipeBlock BuildStatusBlock(uint8_t error);
bool StatusBlockReportsError(const PipeBlock& block);

}  // namespace korvid::link
