// `korvid convert` against `objcopy -I ihex -O binary --gap-fill 0xFF`, each as a
// whole process on the same 4 MiB-image Intel HEX file written by
// `srec_cat -intel -address-length=4`. Both run in every iteration, side by side;
// the counter korvid_per_objcopy is the ratio of their times, which must stay at
// or below 0.5 (the run is marked as an error otherwise).
#include <benchmark/benchmark.h>

#include "intel_hex_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kRequiredRatio = 0.5;

const fs::path& BenchDir() {
    return korvid::bench::IntelHexFixture("korvid-cli-convert-bench");
}

// Wall time of one process run, started directly (no shell in between).
double SecondsOf(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : -1;
}

void BM_ConvertBesideObjcopy(benchmark::State& state) {
    const std::string hex = (BenchDir() / "image.hex").string();
    const std::vector<std::string> korvid{KORVID_BINARY, "--quiet", "convert", hex,
                                          (BenchDir() / "korvid.bin").string()};
    const std::vector<std::string> objcopy{
        KORVID_OBJCOPY, "-I",     "ihex",
        "-O",           "binary", "--gap-fill",
        "0xFF",         hex,      (BenchDir() / "objcopy.bin").string()};
    double korvidTotal = 0;
    double objcopyTotal = 0;
    for (auto _ : state) {
        const double k = SecondsOf(korvid);
        const double o = SecondsOf(objcopy);
        if (k < 0 || o < 0) {
            state.SkipWithError("a conversion failed");
            return;
        }
        korvidTotal += k;
        objcopyTotal += o;
        state.SetIterationTime(k);
    }
    if (fs::file_size(BenchDir() / "korvid.bin") != korvid::bench::kIntelHexImageBytes ||
        std::system(("cmp -s '" + (BenchDir() / "korvid.bin").string() + "' '" +
                     (BenchDir() / "objcopy.bin").string() + "'")
                        .c_str()) != 0) {
        state.SkipWithError("the two images differ");
        return;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["korvid_ms"] = 1000 * korvidTotal / iterations;
    state.counters["objcopy_ms"] = 1000 * objcopyTotal / iterations;
    state.counters["korvid_per_objcopy"] = korvidTotal / objcopyTotal;
    if (korvidTotal / objcopyTotal > kRequiredRatio) {
        state.SkipWithError("korvid convert takes more than half of objcopy's time");
    }
}
BENCHMARK(BM_ConvertBesideObjcopy)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
