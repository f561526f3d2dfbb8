#include "file_replace.h"

#include "korvid.h"
#include "messages.h"
#include "outcome.h"

#include <cstring>

namespace korvid::cli {

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, Durability durability) {
    if (const int error = korvid::files::ReplaceFileContents(path.c_str(), {bytes}, durability)) {
        throw CommandFailure(ExitStatus::FileError,
                             korvid::core::Messages::cantCreateOrWrite.english + path + "\" ! (" +
                                 std::strerror(error) + ")",
                             RC_FILE_OPEN);
    }
}

}  // namespace korvid::cli
