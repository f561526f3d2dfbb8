// Feeds arbitrary bytes to the project reader as a whole file: the footer checks,
// the job decoding and the code copy must never read outside the input or crash.
// Besides the built-in catalogue (whose ICP table is empty) a catalogue with two
// ICP parts makes the configuration-byte decoder reachable.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_reader.h"
#include "korvid.h"

namespace {

using namespace korvid::catalogue;

PartEntry icpPart(const char* name, uint32_t deviceCode, uint32_t flashSize) {
    PartEntry entry{};
    entry.name = name;
    entry.seriesMask = 1;
    entry.deviceCode = deviceCode;
    entry.flashSize = flashSize;
    entry.ispMemoryList = "0,400,800,1000";
    entry.ispMemoryField = {0, 0xF9};
    entry.hwwidlField = {1, 0xEF};
    entry.hwpsField = {1, 0x1F};
    entry.iapBoundaryByte = 2;
    entry.optionCount = 2;
    entry.options[0] = {0, 0x80, "OPTA\0a"};
    entry.options[1] = {7, 0x03, "OPTB\0b"};
    return entry;
}

const PartEntry kNoParts[] = {PartEntry{.name = "NoBody"}};
const PartEntry kIcpParts[] = {icpPart("ICP Wide", 0x0150, 0x1F000),
                               icpPart("ICP Narrow", 0x0151, 0xF000), PartEntry{.name = "NoBody"}};
const Catalogue kIcpCatalogue(kNoParts, kIcpParts);

void readWhole(const Catalogue& catalogue, const uint8_t* data, size_t size) {
    kpj::MemorySource source({data, size});
    JobRecord job{};
    uint32_t icpFlag = 0;
    if (kpj::readProjectInfo(catalogue, source, job, icpFlag) != RC_OK) {
        return;
    }
    if (job.codeName[sizeof job.codeName - 1] != '\0' || job.codeLength > size ||
        catalogue.entry(icpFlag != 0, job.partIndex) == nullptr) {
        __builtin_trap();  // an accepted project must describe a real part and fit the file
    }
    std::vector<uint8_t> code(job.codeLength);
    if (kpj::readProjectCode(source, code) != RC_OK) {
        __builtin_trap();  // what the info load accepted, the code load accepts too
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readWhole(builtInCatalogue(), data, size);
    readWhole(kIcpCatalogue, data, size);
    return 0;
}
