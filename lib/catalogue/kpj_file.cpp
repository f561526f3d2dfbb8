#include "catalogue/kpj_file.h"

#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/file_io.h"
#include "catalogue/kpj_layout.h"
#include "catalogue/kpj_reader.h"
#include "catalogue/kpj_writer.h"
#include "files/replace_file.h"

namespace korvid::catalogue::kpj {
namespace {

// The caller sizes its buffer from the accepted project's codeLength and passes no
// size to the code load, so that length is kept here to bound the copy.
struct AcceptedProject {
    std::string path;
    uint32_t codeLength;
};
std::optional<AcceptedProject> lastAccepted;

}  // namespace

uint8_t saveProjectFile(const char* path, const JobRecord& job, bool icp) {
    const auto footer = buildFooter(builtInCatalogue(), job, icp, currentFooterStamp());
    if (!footer) {
        return kRcInvalidJob;
    }
    const std::span<const uint8_t> code(job.codeBuffer, job.codeLength);
    return files::ReplaceFileContents(path, {code, *footer}, files::Durability::Synced) == 0
               ? RC_OK
               : RC_FILE_OPEN;
}

uint8_t loadProjectInfo(const char* path, JobRecord& job, uint32_t& icpFlag,
                        KorvidProjectFooter* footer) {
    lastAccepted.reset();
    const std::unique_ptr<FileSource> file = FileSource::open(path);
    if (!file) {
        return RC_FILE_OPEN;
    }
    const uint8_t result = readProjectInfo(builtInCatalogue(), *file, job, icpFlag, footer);
    if (result == RC_OK) {
        lastAccepted = AcceptedProject{path, job.codeLength};
    }
    return result;
}

uint8_t loadProjectCode(const char* path, uint8_t* buffer) {
    const std::unique_ptr<FileSource> file = FileSource::open(path);
    if (!file) {
        return RC_FILE_OPEN;
    }
    if (!lastAccepted || lastAccepted->path != path ||
        (buffer == nullptr && lastAccepted->codeLength != 0)) {
        return RC_KPJ_CODE_LENGTH;
    }
    return readProjectCode(*file, {buffer, lastAccepted->codeLength});
}

}  // namespace korvid::catalogue::kpj
