// usb_round_trip: how long one report takes there and back (the identify command
// out, its answer in) and one program command of 16 KiB, on whatever platform the
// library chooses: the real backends, or the in-process simulated programmer when
// KORVID_SIMULATE names one. Prints one line of figures; measures, judges nothing.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "korvid.h"
#include "link/hid_link.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRoundTrips = 200;
constexpr size_t kImageBytes = 16384;
constexpr int32_t kPartIndex = 3;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    using namespace korvid;
    if (link::OpenHidProgrammer(link::kVendorId, link::kHidProductNormal) != 1) {
        std::fprintf(stderr, "usb_round_trip: no HID programmer\n");
        return 1;
    }
    std::array<uint8_t, 31> identify;
    identify.fill(0xFF);
    identify[0] = 0xC5;
    std::vector<double> roundTrips;
    for (int i = 0; i < kRoundTrips; ++i) {
        std::array<uint8_t, 4> answer{};
        const auto start = Clock::now();
        if (link::WriteReports(identify.data(), identify.size(), link::outputReportLength()) !=
                identify.size() ||
            link::ReadReports(answer.data(), answer.size()) != answer.size()) {
            std::fprintf(stderr, "usb_round_trip: an identify exchange failed\n");
            return 1;
        }
        roundTrips.push_back(millisecondsSince(start));
    }
    link::CloseHidProgrammer();
    std::sort(roundTrips.begin(), roundTrips.end());

    std::vector<uint8_t> code(kImageBytes);
    for (size_t i = 0; i < code.size(); ++i) {
        code[i] = static_cast<uint8_t>(i);
    }
    JobRecord job{};
    job.partIndex = kPartIndex;
    job.programArea = AREA_AP;
    job.maxCount = 0xFFFF;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    const auto start = Clock::now();
    const uint8_t result = UpdateMCU(&job, 0, 1);
    const double programMs = millisecondsSince(start);
    if (result != RC_OK) {
        std::fprintf(stderr, "usb_round_trip: programming failed with result %u\n", result);
        return 1;
    }
    std::printf(
        "report round trip median %.3f ms, p99 %.3f ms, max %.3f ms; "
        "program command of 16 KiB %.1f ms\n",
        roundTrips[roundTrips.size() / 2], roundTrips[roundTrips.size() * 99 / 100],
        roundTrips.back(), programMs);
    return 0;
}
