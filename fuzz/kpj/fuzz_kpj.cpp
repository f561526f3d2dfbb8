// Feeds arbitrary bytes to the project reader as a whole file: the footer checks,
// the job decoding and the code copy must never read outside the input or crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_reader.h"
#include "korvid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvid::catalogue;
    kpj::MemorySource source({data, size});
    JobRecord job{};
    uint32_t icpFlag = 0;
    if (kpj::readProjectInfo(builtInCatalogue(), source, job, icpFlag) != RC_OK) {
        return 0;
    }
    if (job.codeName[sizeof job.codeName - 1] != '\0' || job.codeLength > size ||
        builtInCatalogue().entry(icpFlag != 0, job.partIndex) == nullptr) {
        __builtin_trap();  // an accepted project must describe a real part and fit the file
    }
    std::vector<uint8_t> code(job.codeLength);
    if (kpj::readProjectCode(source, code) != RC_OK) {
        __builtin_trap();  // what the info load accepted, the code load accepts too
    }
    return 0;
}
