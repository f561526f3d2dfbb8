#include "code_name.h"

#include "cp936_text.h"

#include <algorithm>
#include <cstring>

namespace korvid::core {
namespace {

// Where a path's folders end: Windows takes either slash, a POSIX system only its own.
#ifdef _WIN32
constexpr const char* kFolderSeparators = "/\\";
#else
constexpr const char* kFolderSeparators = "/";
#endif

}  // namespace

std::string CodeNameOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of(kFolderSeparators);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void StoreCodeName(JobRecord& job, std::string_view path) {
    const std::string name = CodeNameOfPath(path);
    std::memset(job.codeName, 0, sizeof job.codeName);
    std::memcpy(job.codeName, name.data(), std::min(name.size(), sizeof job.codeName - 1));
}

std::string ShownCodeName(const JobRecord& job) {
    return std::string(job.codeName, strnlen(job.codeName, sizeof job.codeName));
}

}  // namespace korvid::core
