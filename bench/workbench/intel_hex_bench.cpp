// ParseIntelHex (file read included) against `objcopy -I ihex -O binary --gap-fill
// 0xFF` on the same 4 MiB-image Intel HEX file: 16-byte records with extended
// linear address records, as `srec_cat -intel -address-length=4` writes it.
// Heap use of the conversion is tracked by a counting operator new; the counters
// report the peak relative to the image size.
#include "code_file.h"
#include "intel_hex.h"

#include <benchmark/benchmark.h>

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

constexpr std::size_t kImageBytes = 4u * 1024u * 1024u;

const fs::path& BenchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "korvid-intel-hex-bench";
        fs::create_directories(d);
        std::ofstream image(d / "image.bin", std::ios::binary);
        uint32_t x = 12345;
        for (std::size_t i = 0; i < kImageBytes; ++i) {
            x = x * 1103515245u + 12345u;
            image.put(static_cast<char>(x >> 24));
        }
        image.close();
        const std::string command = "cd '" + d.string() + "' && " + KORVID_SREC_CAT +
                                    " image.bin -binary -o image.hex -intel -address-length=4"
                                    " -output_block_size=16";
        if (std::system(command.c_str()) != 0) {
            std::abort();
        }
        return d;
    }();
    return dir;
}

void BM_ParseIntelHexFile(benchmark::State& state) {
    const std::string path = (BenchDir() / "image.hex").string();
    std::size_t imageBytes = 0;
    for (auto _ : state) {
        const std::size_t before = liveBytes.load();
        peakBytes = before;
        const korvid::workbench::CodeFile file = korvid::workbench::ReadCodeFile(path);
        const std::size_t afterRead = liveBytes.load();
        peakBytes = afterRead;
        std::vector<uint8_t> image = korvid::workbench::ParseIntelHex(
            std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
        imageBytes = image.size();
        state.counters["parse_peak_per_image"] =
            static_cast<double>(peakBytes.load() - afterRead) / static_cast<double>(imageBytes);
        state.counters["text_bytes"] = static_cast<double>(afterRead - before);
        benchmark::DoNotOptimize(image.data());
    }
    if (imageBytes != kImageBytes) {
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
