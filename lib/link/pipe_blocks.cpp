#include "link/pipe_blocks.h"

namespace korvid::link {
namespace {

constexpr uint8_t kCommandMagic0 = 0x5A;
constexpr uint8_t kCommandMagic1 = 0xA5;
constexpr size_t kStatusByte = 12;

}  // namespace

PipeBlock BuildCommandBlock(const CommandBlockFields& fields) {
    PipeBlock block{};
    block[0] = kCommandMagic0;
    block[1] = kCommandMagic1;
    block[2] = fields.command;
    block[4] = static_cast<uint8_t>(fields.timeout);
    block[5] = static_cast<uint8_t>(fields.timeout >> 8);
    for (int i = 0; i < 4; ++i) {
        block[8 + i] = static_cast<uint8_t>(fields.count >> (8 * i));
    }
    return block;
}

std::optional<CommandBlockFields> ParseCommandBlock(std::span<const uint8_t> block) {
    if (block.size() != kPipeBlockBytes || block[0] != kCommandMagic0 ||
        block[1] != kCommandMagic1) {
        return std::nullopt;
    }
    CommandBlockFields fields;
    fields.command = block[2];
    fields.timeout = static_cast<uint16_t>(block[4] | block[5] << 8);
    for (int i = 0; i < 4; ++i) {
        fields.count |= static_cast<uint32_t>(block[8 + i]) << (8 * i);
    }
    return fields;
}

PipeBlock BuildStatusBlock(uint8_t error) {
    PipeBlock block{};
    block[kStatusByte] = error;
    return block;
}

bool StatusBlockReportsError(const PipeBlock& block) {
    return block[kStatusByte] != 0;
}

}  // namespace korvid::link
