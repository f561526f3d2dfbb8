// The real USB stack: the tool and the library on their real backends (hidapi on
// hidraw, libusb on usbfs) against gadget programmers that the guest's kernel
// enumerates like hardware. Runs inside the guest (run_guest_suite.sh).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "guest_processes.h"
#include "korvid.h"
#include "korvid_ext.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/sim/synthetic_firmware.h"

namespace korvid::usbstack {
namespace {

using link::kHidProductFirmwareUpdate;
using link::kHidProductNormal;
using link::kPipeProduct;

constexpr const char* kTool = "/suite/korvid";
constexpr const char* kTraceFolder = "/out/traces/";
constexpr const char* kPart = "Part A4";
constexpr const char* kImageFile = "/tmp/image.bin";
constexpr size_t kImageBytes = 16384;
constexpr const char* kRootOnlyFlag = "/run/korvid-guest/root-only";

std::string testName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

std::vector<uint8_t> image() {
    std::vector<uint8_t> bytes(kImageBytes);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 13 + i / 256);
    }
    return bytes;
}

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// The programmer's record of bytes (hexadecimal) against what it should hold; on a
// difference, the lengths and where it starts, not all the bytes.
::testing::AssertionResult Holds(const std::string& recorded, const std::vector<uint8_t>& bytes) {
    const std::string expected = hex(bytes);
    if (recorded == expected) {
        return ::testing::AssertionSuccess();
    }
    size_t at = 0;
    while (at < recorded.size() && at < expected.size() && recorded[at] == expected[at]) {
        ++at;
    }
    return ::testing::AssertionFailure() << "holds " << recorded.size() / 2 << " bytes instead of "
                                         << bytes.size() << ", first difference at byte " << at / 2;
}

void writeImageFile() {
    const auto bytes = image();
    std::ofstream(kImageFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The kernel's log so far.
std::string kernelLog() {
    const int fd = open("/dev/kmsg", O_RDONLY | O_NONBLOCK);
    std::string log;
    char record[8192];
    for (ssize_t n; (n = read(fd, record, sizeof record)) > 0 || (n < 0 && errno == EPIPE);) {
        if (n > 0) {
            log.append(record, static_cast<size_t>(n));
        }
    }
    close(fd);
    return log;
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// The tool as the test user, its wire traffic traced into the test's trace file.
Finished Korvid(std::vector<std::string> arguments, const std::string& trace = "") {
    std::vector<std::string> command = {kTool};
    if (!trace.empty()) {
        command.insert(command.end(),
                       {"--trace", kTraceFolder + testName() + "-" + trace + ".trace"});
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
    ASSERT_NE(hid.waitUntilAttached(kHidProductNormal), "");
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
    EXPECT_EQ(found[0]["node"].get<std::string>().rfind("/dev/hidraw", 0), 0u);
    EXPECT_EQ(found[1]["node"].get<std::string>().rfind("/dev/bus/usb/", 0), 0u);
    for (const auto& programmer : found) {
        std::printf("enumerated: %s programmer at %s, serial %s, node %s\n",
                    programmer["link"].get<std::string>().c_str(),
                    programmer["location"].get<std::string>().c_str(),
                    programmer["serial"].get<std::string>().c_str(),
                    programmer["node"].get<std::string>().c_str());
    }
}

// One programmer model as it meets the host.
struct Model {
    const char* name;      // the gadget's programmer, as KORVID_SIMULATE names it
    const char* outdated;  // the same model with outdated firmware
    uint16_t productId;
    uint16_t waitingProductId;  // in its firmware-update (or boot) mode
    const char* link;           // as the tool's JSON names it
    size_t firmwareBytes;
};

void PrintTo(const Model& model, std::ostream* out) {
    *out << model.name;
}

const Model kHid{"hid",
                 "hid-old",
                 kHidProductNormal,
                 kHidProductFirmwareUpdate,
                 "hid",
                 sim::kHidFirmwareImageBytes};
const Model kPipe{"pipe",       "pipe-old", kPipeProduct,
                  kPipeProduct, "pipe",     sim::kPipeFirmwareImageBytes};

class EachModel : public ::testing::TestWithParam<Model> {
protected:
    void SetUp() override { writeImageFile(); }
};

INSTANTIATE_TEST_SUITE_P(UsbStack, EachModel, ::testing::Values(kHid, kPipe),
                         [](const auto& info) { return std::string(info.param.link); });

TEST_P(EachModel, ProgramsStoresAndDumps) {
    GadgetProgrammer programmer(GetParam().name, 0, "UNIT-0001");
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");

    const Finished program = Korvid({"program", kImageFile, "--part", kPart}, "program");
    EXPECT_EQ(program.status, 0) << describe(program);
    EXPECT_NE(program.out.find("Update success !"), std::string::npos) << describe(program);
    const Finished store = Korvid({"program", kImageFile, "--part", kPart, "--store", "--max-count",
                                   "25", "--serial-number", "1000"},
                                  "store");
    EXPECT_EQ(store.status, 0) << describe(store);
    const Finished dump = Korvid({"dump"}, "dump");
    EXPECT_EQ(dump.status, 0) << describe(dump);
    EXPECT_NE(dump.out.find("00F0  F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF"),
              std::string::npos)
        << describe(dump);

    auto state = programmer.stop();
    EXPECT_TRUE(Holds(state["target-flash"], image()));
    EXPECT_EQ(state["stored-max-count"], "25");
    EXPECT_EQ(state["stored-serial"], "4096");
}

// The outdated programmer is re-flashed: the HID programmer leaves the bus and comes
// back with the product identifier of its firmware-update mode, takes the image
// through feature reports and restarts; the older one restarts into its boot mode
// (without its serial string) and takes the image on its pipe.
TEST_P(EachModel, ReflashesAnOutdatedProgrammerAcrossItsRestarts) {
    GadgetProgrammer programmer(GetParam().outdated, 0, "UNIT-0001");
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");
    const size_t enumerationsBefore =
        occurrences(kernelLog(), "New USB device found, idVendor=4c7b");

    const Finished run =
        Korvid({"program", kImageFile, "--part", kPart, "--update-firmware"}, "program");
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_NE(run.out.find("Update success !"), std::string::npos) << describe(run);

    const std::string log = kernelLog();
    // Out into the update or boot mode and back: two more enumerations.
    EXPECT_EQ(occurrences(log, "New USB device found, idVendor=4c7b") - enumerationsBefore, 2u);
    if (GetParam().productId == kHidProductNormal) {
        EXPECT_EQ(occurrences(log, "idVendor=4c7b, idProduct=030b"), 1u);
    }
    auto state = programmer.stop();
    EXPECT_TRUE(Holds(state["firmware"], sim::SyntheticFirmwareImage(GetParam().firmwareBytes)));
    EXPECT_EQ(state["identifier"], GetParam().productId == kHidProductNormal ? "0603" : "0551");
    EXPECT_TRUE(Holds(state["target-flash"], image()));
}

// A re-flash cut short: the plug pulled during the image transfer and put back in.
// The programmer comes back waiting for its firmware (the HID model with the product
// identifier of its update mode, the older one in its boot mode), and the next
// `korvid update-firmware` finishes the re-flash from there: the programmer is back
// in normal mode with the new firmware and programs a target.
TEST_P(EachModel, AReflashCutShortIsFinishedByTheNextOne) {
    GadgetProgrammer programmer(GetParam().outdated, 0, "UNIT-0001",
                                {"--replug-during-reflash", "4096"});
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");

    const Finished cut = Korvid({"update-firmware"}, "cut-short");
    EXPECT_TRUE(cut.exited) << describe(cut);
    EXPECT_NE(cut.status, 0) << describe(cut);
    ASSERT_NE(programmer.waitUntilAttached(GetParam().waitingProductId), "");
    if (GetParam().waitingProductId == kHidProductFirmwareUpdate) {
        const Finished detect = Korvid({"--json", "detect"});
        const auto listed = jsonLines(detect.out);
        ASSERT_EQ(listed.size(), 1u) << describe(detect);
        EXPECT_EQ(listed[0]["updateMode"], true) << describe(detect);
    }

    const Finished finish = Korvid({"update-firmware"}, "finish");
    EXPECT_EQ(finish.status, 0) << describe(finish);
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");
    const Finished program = Korvid({"program", kImageFile, "--part", kPart}, "program");
    EXPECT_EQ(program.status, 0) << describe(program);

    auto state = programmer.stop();
    EXPECT_TRUE(Holds(state["firmware"], sim::SyntheticFirmwareImage(GetParam().firmwareBytes)));
    EXPECT_EQ(state["identifier"], GetParam().productId == kHidProductNormal ? "0603" : "0551");
    EXPECT_TRUE(Holds(state["target-flash"], image()));
}

// The plug pulled in the middle of programming: the library gives up at once with a
// clear result, within the link's bounds, and holds no device afterwards.
TEST_P(EachModel, AProgrammerUnpluggedWhileProgrammingFailsCleanly) {
    GadgetProgrammer programmer(GetParam().name, 0, "UNIT-0001", {"--unplug-after", "80"});
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");
    const Finished run = Korvid({"program", kImageFile, "--part", kPart}, "program");
    EXPECT_TRUE(run.exited) << describe(run);
    EXPECT_FALSE(run.timedOut) << describe(run);
    EXPECT_TRUE(run.status == 19 || run.status == 11) << describe(run);
    EXPECT_LT(run.seconds, 30.0) << describe(run);
    EXPECT_EQ(programmer.stop()["target-flash"], "");
}

// A programmer that enumerates but never takes or answers anything (a hung firmware).
TEST_P(EachModel, AProgrammerThatNeverAnswersFailsWithinTheLinksBounds) {
    GadgetProgrammer programmer(GetParam().name, 0, "UNIT-0001", {"--hung"});
    ASSERT_NE(programmer.waitUntilAttached(GetParam().productId), "");
    const Finished run = Korvid({"program", kImageFile, "--part", kPart}, "program");
    EXPECT_TRUE(run.exited) << describe(run);
    EXPECT_FALSE(run.timedOut) << describe(run);
    EXPECT_EQ(run.status, 19) << describe(run);
}

TEST(UsbStack, TheOtherOfTwoProgrammersSeesNoTraffic) {
    writeImageFile();
    for (const bool byLocation : {true, false}) {
        SCOPED_TRACE(byLocation ? "by location" : "by serial");
        GadgetProgrammer first("hid", 0, "UNIT-A");
        GadgetProgrammer second("hid", 1, "UNIT-B");
        ASSERT_NE(first.waitUntilAttached(kHidProductNormal), "");
        ASSERT_NE(second.waitUntilAttached(kHidProductNormal), "");
        GadgetProgrammer& chosen = byLocation ? second : first;
        GadgetProgrammer& other = byLocation ? first : second;
        const std::string device = byLocation ? chosen.location() : chosen.serial();
        const Finished run = Korvid({"program", kImageFile, "--part", kPart, "--device", device},
                                    byLocation ? "by-location" : "by-serial");
        EXPECT_EQ(run.status, 0) << describe(run);
        EXPECT_TRUE(Holds(chosen.stop()["target-flash"], image()));
        EXPECT_EQ(other.stop()["transfers"], "0");
    }
}

TEST(UsbStack, ARackRunLoadsTwoProgrammersWithDisjointSerialRanges) {
    writeImageFile();
    GadgetProgrammer first("hid", 0, "UNIT-A");
    GadgetProgrammer second("pipe", 1, "UNIT-B");
    ASSERT_NE(first.waitUntilAttached(kHidProductNormal), "");
    ASSERT_NE(second.waitUntilAttached(kPipeProduct), "");
    const Finished run = Korvid({"--json", "program", kImageFile, "--part", kPart, "--store",
                                 "--all", "--max-count", "16", "--serial-number", "2000"},
                                "rack");
    ASSERT_EQ(run.status, 0) << describe(run);
    const auto results = jsonLines(run.out);
    ASSERT_EQ(results.size(), 2u) << run.out;
    EXPECT_EQ(results[0]["location"], "1-1");
    EXPECT_EQ(results[1]["location"], "2-1");
    auto firstState = first.stop();
    auto secondState = second.stop();
    EXPECT_EQ(firstState["stored-serial"], std::to_string(0x2000));
    EXPECT_EQ(secondState["stored-serial"], std::to_string(0x2010));
    EXPECT_EQ(firstState["stored-max-count"], "16");
}

// Device nodes as a system without the packaged udev rules leaves them.
TEST(UsbStack, ANodeOnlyRootMayOpenIsReportedWithTheRulesFile) {
    writeImageFile();
    std::ofstream(kRootOnlyFlag).close();
    GadgetProgrammer programmer("hid", 0, "UNIT-0001");
    const std::string node = programmer.waitUntilAttached(kHidProductNormal, false);
    ASSERT_NE(node, "");
    const Finished run = Korvid({"program", kImageFile, "--part", kPart});
    unlink(kRootOnlyFlag);
    EXPECT_EQ(run.status, 12) << describe(run);
    EXPECT_NE(run.err.find(node), std::string::npos) << node << "\n" << describe(run);
    EXPECT_NE(run.err.find("60-korvid.rules"), std::string::npos) << describe(run);
    EXPECT_EQ(programmer.stop()["transfers"], "0");
}

// In the library itself: after an unplug the operation returns with every device
// closed.
TEST(UsbStack, TheLibraryHoldsNoDeviceAfterAnUnplug) {
    GadgetProgrammer programmer("hid", 0, "UNIT-0001", {"--unplug-after", "60"});
    ASSERT_NE(programmer.waitUntilAttached(kHidProductNormal), "");
    std::vector<uint8_t> code = image();
    JobRecord job{};
    job.partIndex = 3;
    job.programArea = AREA_AP;
    job.maxCount = 0xFFFF;
    job.codeLength = static_cast<uint32_t>(code.size());
    job.codeBuffer = code.data();
    const uint8_t result = UpdateMCU(&job, 0, 1);
    EXPECT_TRUE(result == RC_COMM_FAIL || result == RC_NO_DEVICE) << int(result);
    EXPECT_FALSE(HoldsProgrammerNode());
}
// Not a judgement of speed (the guest's timing is not hardware timing): the figures
// for the suite's output, the real stack beside the in-process simulator.
TEST(UsbStack, MeasuresOneReportAndOneProgramCommand) {
    GadgetProgrammer programmer("hid", 0, "UNIT-0001");
    ASSERT_NE(programmer.waitUntilAttached(kHidProductNormal), "");
    const Finished real = usbstack::Run({{"/suite/usb_round_trip"}, {}, false});
    ASSERT_EQ(real.status, 0) << describe(real);
    const Finished simulated =
        usbstack::Run({{"/suite/usb_round_trip"}, {"KORVID_SIMULATE=hid"}, false});
    ASSERT_EQ(simulated.status, 0) << describe(simulated);
    std::printf("timing: real USB stack: %stiming: in-process simulator: %s", real.out.c_str(),
                simulated.out.c_str());
}

}  // namespace
}  // namespace korvid::usbstack
