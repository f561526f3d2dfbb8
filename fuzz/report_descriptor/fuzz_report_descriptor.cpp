// Any byte string is either refused or summarised with lengths that a report
// buffer of the kernel can hold.
#include <cstddef>
#include <cstdint>

#include "link/backends/report_descriptor.h"

namespace {

// The kernel's largest report buffer, report-identifier byte included.
bool fitsKernelBuffer(size_t length) {
    return length <= 16384;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto summary = korvid::platform::summarizeReportDescriptor({data, size});
    if (summary &&
        !(fitsKernelBuffer(summary->lengths.input) && fitsKernelBuffer(summary->lengths.output) &&
          fitsKernelBuffer(summary->lengths.feature))) {
        __builtin_trap();
    }
    return 0;
}
