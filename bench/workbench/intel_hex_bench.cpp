// core::ParseIntelHex (file read included) against `objcopy -I ihex -O binary --gap-fill
// 0xFF` on the same 4 MiB-image Intel HEX file: 16-byte records with extended
// linear address records, as `srec_cat -intel -address-length=4` writes it.
// Heap use of the conversion is tracked by a counting operator new; the counters
// report the peak relative to the image size.
#include "code_file.h"
#include "intel_hex.h"

#include <benchmark/benchmark.h>

#include "intel_hex_fixture.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size + sizeof(std::max_align_t));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = size;
    const std::size_t live = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + sizeof(std::max_align_t);
}

// The replaced operator new allocates with malloc, so free is the matching release.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - sizeof(std::max_align_t);
    liveBytes -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept {
    operator delete(pointer);
}

namespace {

namespace fs = std::filesystem;

const fs::path& BenchDir() {
    return korvid::bench::IntelHexFixture("korvid-intel-hex-bench");
}

void BM_ParseIntelHexFile(benchmark::State& state) {
    const std::string path = (BenchDir() / "image.hex").string();
    std::size_t imageBytes = 0;
    for (auto _ : state) {
        const std::size_t before = liveBytes.load();
        peakBytes = before;
        const korvid::core::CodeFile file = korvid::core::ReadCodeFile(path);
        const std::size_t afterRead = liveBytes.load();
        peakBytes = afterRead;
        std::vector<uint8_t> image =
            korvid::core::ParseIntelHex(
                std::string_view(reinterpret_cast<const char*>(file.bytes.data()),
                                 file.bytes.size()))
                .bytes;
        imageBytes = image.size();
        state.counters["parse_peak_per_image"] =
            static_cast<double>(peakBytes.load() - afterRead) / static_cast<double>(imageBytes);
        state.counters["text_bytes"] = static_cast<double>(afterRead - before);
        benchmark::DoNotOptimize(image.data());
    }
    if (imageBytes != korvid::bench::kIntelHexImageBytes) {
        state.SkipWithError("image size differs from the source binary");
    }
    state.counters["image_bytes"] = static_cast<double>(imageBytes);
}
BENCHMARK(BM_ParseIntelHexFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Objcopy(benchmark::State& state) {
    const std::string command = "cd '" + BenchDir().string() + "' && " + KORVID_OBJCOPY +
                                " -I ihex -O binary --gap-fill 0xFF image.hex objcopy.bin";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("objcopy failed");
            return;
        }
    }
    state.counters["image_bytes"] = static_cast<double>(fs::file_size(BenchDir() / "objcopy.bin"));
}
BENCHMARK(BM_Objcopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
