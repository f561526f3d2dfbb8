// What the host spends per report: framing a 64-byte payload, and moving reports
// through the platform seam to the simulated programmer and back (traffic
// recording off, so the figures are the link's own cost plus the device model's).
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "link/hid_link.h"
#include "link/hid_reports.h"
#include "link/sim/simulated_programmer.h"

namespace korvid {
namespace {

void BM_FrameOneReport(benchmark::State& state) {
    std::array<uint8_t, 64> payload{};
    std::array<uint8_t, 65> report{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(link::FrameReport(payload, report));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameOneReport);

class OpenSimulatedLink {
public:
    OpenSimulatedLink() {
        sim.attachHidProgrammer({.recordTraffic = false});
        link::OpenHidProgrammer(link::kVendorId, link::kHidProductNormal);
    }
    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

// One 64-byte output report (count 64, no filler) written through the seam.
void BM_WriteOneReport(benchmark::State& state) {
    OpenSimulatedLink link;
    std::array<uint8_t, 64> payload{};  // commands the programmer ignores
    for (auto _ : state) {
        benchmark::DoNotOptimize(link::WriteReports(payload.data(), payload.size(), 65));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteOneReport);

// The identify exchange: one output report out, one input report back.
void BM_IdentifyRoundTrip(benchmark::State& state) {
    OpenSimulatedLink link;
    std::array<uint8_t, 31> command;
    command.fill(0xFF);
    command[0] = 0xC5;
    std::array<uint8_t, 4> reply{};
    for (auto _ : state) {
        link::WriteReports(command.data(), command.size(), 65);
        benchmark::DoNotOptimize(link::ReadReports(reply.data(), reply.size()));
    }
    state.SetItemsProcessed(state.iterations() * 2);  // reports moved
}
BENCHMARK(BM_IdentifyRoundTrip);

// The dump: one output report out, five input reports (1 + 4 × 64 bytes) back.
void BM_DumpRoundTrip(benchmark::State& state) {
    OpenSimulatedLink link;
    std::array<uint8_t, 31> command;
    command.fill(0xFF);
    command[0] = 0xC4;
    std::vector<uint8_t> info(256);
    uint8_t ack = 0;
    for (auto _ : state) {
        link::WriteReports(command.data(), command.size(), 65);
        link::ReadReports(&ack, 1);
        benchmark::DoNotOptimize(link::ReadReports(info.data(), info.size()));
    }
    state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_DumpRoundTrip);

}  // namespace
}  // namespace korvid
