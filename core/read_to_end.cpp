#include "read_to_end.h"

namespace korvid::core {

CodeFile ReadToEnd(std::size_t expectedSize, const ReadSome& readSome) {
    CodeFile result;
    result.bytes.resize(expectedSize);
    std::size_t filled = 0;
    uint8_t probe[4096];
    for (;;) {
        const bool full = filled == result.bytes.size();
        uint8_t* target = full ? probe : result.bytes.data() + filled;
        const std::size_t room = full ? sizeof probe : result.bytes.size() - filled;
        FileFailure failure = FileFailure::Generic;
        const std::optional<std::size_t> got = readSome(target, room, failure);
        if (!got) {
            return CodeFile{failure, {}};
        }
        if (*got == 0) {
            break;
        }
        if (full) {
            if (filled + *got > kCodeFileLimit) {
                return CodeFile{FileFailure::InvalidFile, {}};
            }
            result.bytes.insert(result.bytes.end(), probe, probe + *got);
        }
        filled += *got;
    }
    result.bytes.resize(filled);
    return result;
}

}  // namespace korvid::core
