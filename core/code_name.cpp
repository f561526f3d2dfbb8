#include "code_name.h"

#include "cp936_characters.h"
#include "cp936_text.h"
#include "utf8_characters.h"

#include <cstring>

namespace korvid::core {
namespace {

#if defined(_WIN32)
constexpr std::string_view kPathSeparators = "/\\:";
#else
constexpr std::string_view kPathSeparators = "/";
#endif

}  // namespace

std::string CodeNameOfPath(std::string_view path) {
    // npos + 1 is 0: a path without a separator is all name.
    const std::string_view name = path.substr(path.find_last_of(kPathSeparators) + 1);
    const std::string bytes = IsUtf8(name) ? Utf8ToCp936(name) : std::string(name);
    return bytes.substr(0, Cp936CutLength(bytes, KORVID_CODE_NAME_SIZE - 1));
}

void StoreCodeName(JobRecord& job, std::string_view path) {
    const std::string name = CodeNameOfPath(path);
    std::memset(job.codeName, 0, sizeof job.codeName);
    std::memcpy(job.codeName, name.data(), name.size());
}

std::string ShownCodeName(std::string_view stored) {
    return IsUtf8(stored) ? std::string(stored) : Cp936ToUtf8(stored);
}

std::string ShownCodeName(const JobRecord& job) {
    return ShownCodeName(
        std::string_view(job.codeName, strnlen(job.codeName, sizeof job.codeName)));
}

}  // namespace korvid::core
