// The real USB stack: the tool and the library on their real backends (hidapi on
// hidraw, libusb on usbfs) against gadget programmers that the guest's kernel
// enumerates like hardware. Runs inside the guest (run_guest_suite.sh).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <string>
#include <vector>

#include "guest_processes.h"

namespace korvid::usbstack {
namespace {

constexpr const char* kTool = "/suite/korvid";
constexpr const char* kTraceFolder = "/out/traces/";
constexpr const char* kPart = "Part A4";
constexpr uint16_t kHidProduct = 0x0323;
constexpr uint16_t kHidUpdateProduct = 0x030B;
constexpr uint16_t kPipeProduct = 0x030D;

// The tool as the test user, its wire traffic traced into the test's trace file.
Finished Korvid(std::vector<std::string> arguments, const std::string& trace = "") {
    std::vector<std::string> command = {kTool};
    if (!trace.empty()) {
        command.insert(command.end(), {"--trace", kTraceFolder + trace + ".trace"});
    }
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Run({command});
}

std::string describe(const Finished& run) {
    return "exit " + std::to_string(run.status) + (run.timedOut ? " (timed out)" : "") +
           "\nstdout: " + run.out + "\nstderr: " + run.err;
}

std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (!line.empty()) {
            lines.push_back(nlohmann::json::parse(line));
        }
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST(UsbStack, DetectListsBothModelsWhereSysfsSaysTheySit) {
    GadgetProgrammer hid("hid", 0, "HID-0001");
    GadgetProgrammer pipe("pipe", 1, "PIPE-0002");
    ASSERT_NE(hid.waitUntilAttached(kHidProduct), "");
    ASSERT_NE(pipe.waitUntilAttached(kPipeProduct), "");

    const Finished run = Korvid({"--json", "detect"});
    ASSERT_EQ(run.status, 0) << describe(run);
    const auto found = jsonLines(run.out);
    ASSERT_EQ(found.size(), 2u) << run.out;
    EXPECT_EQ(found[0]["location"], "1-1");
    EXPECT_EQ(found[0]["link"], "hid");
    EXPECT_EQ(found[0]["serial"], "HID-0001");
    EXPECT_EQ(found[0]["identifier"], "0x0603");
    EXPECT_EQ(found[0]["accessible"], true);
    EXPECT_EQ(found[1]["location"], "2-1");
    EXPECT_EQ(found[1]["link"], "pipe");
    EXPECT_EQ(found[1]["serial"], "PIPE-0002");
    EXPECT_EQ(found[1]["identifier"], "0x0551");
    EXPECT_EQ(found[1]["accessible"], true);
}

}  // namespace
}  // namespace korvid::usbstack
