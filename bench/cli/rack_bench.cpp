// Loading a rack: `korvid program --store --all` through one simulated programmer
// and through eight, each as a whole process on the real clock, so the
// programmers' pauses take their time. Each benchmark runs both in every
// iteration; the counter eight_per_one is the ratio of their times.
//   BM_RackStore: a plain store on `hid`; the pauses are short, so it shows the
//     cost of starting one worker process per programmer.
//   BM_RackReflash: a store that first re-flashes `hid-old` (about 22 s of device
//     pauses); eight must take at most 1.3 times as long as one (the run is marked
//     as an error otherwise).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

constexpr double kRequiredReflashRatio = 1.3;

std::string HexFile() {
    const fs::path path = fs::temp_directory_path() / "korvid-rack-bench.hex";
    std::ofstream(path) << ":1000000002010000000000000000000000000000ED\n:00000001FF\n";
    return path.string();
}

// Wall time of one rack command on `programmers` (a KORVID_SIMULATE list), or -1.
double SecondsOf(const std::string& programmers, bool reflash) {
    const std::string hex = HexFile();
    std::vector<std::string> args{
        KORVID_BINARY, "--quiet", "program",
        hex,           "--part",  "Part A4",
        "--store",     "--all",   reflash ? "--update-firmware" : "--no-update-firmware"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::string simulate = "KORVID_SIMULATE=" + programmers;
    char* envp[] = {simulate.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp) != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : -1;
}

std::string Rack(const std::string& name, int count) {
    std::string list = name;
    for (int i = 1; i < count; ++i) {
        list += "," + name;
    }
    return list;
}

void RunRack(benchmark::State& state, const std::string& name, bool reflash, double limit) {
    double oneTotal = 0;
    double eightTotal = 0;
    for (auto _ : state) {
        const double one = SecondsOf(name, reflash);
        const double eight = SecondsOf(Rack(name, 8), reflash);
        if (one < 0 || eight < 0) {
            state.SkipWithError("a rack command failed");
            return;
        }
        oneTotal += one;
        eightTotal += eight;
        state.SetIterationTime(eight);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["one_ms"] = 1000 * oneTotal / iterations;
    state.counters["eight_ms"] = 1000 * eightTotal / iterations;
    state.counters["eight_per_one"] = eightTotal / oneTotal;
    if (limit > 0 && eightTotal / oneTotal > limit) {
        state.SkipWithError("eight programmers take more than 1.3 times as long as one");
    }
}

void BM_RackStore(benchmark::State& state) {
    RunRack(state, "hid", false, 0);
}
BENCHMARK(BM_RackStore)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_RackReflash(benchmark::State& state) {
    RunRack(state, "hid-old", true, kRequiredReflashRatio);
}
BENCHMARK(BM_RackReflash)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
