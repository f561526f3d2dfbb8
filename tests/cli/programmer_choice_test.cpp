// Several simulated programmers: detect lists each one, --device picks one by
// location or serial (and only that one sees traffic), before the command or
// after it as --log does, --trace records the wire, and --json turns the
// library's progress events into JSON lines on stderr.
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Json = nlohmann::json;

const std::map<std::string, std::string> kThree{{"KORVID_SIMULATE", "hid,pipe,hid"}};

std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind('{', 0) == 0) {
            objects.push_back(Json::parse(line));
        }
    }
    return objects;
}

// The HID device nodes a trace shows being opened.
std::set<std::string> OpenedHidNodes(const std::string& trace) {
    std::set<std::string> nodes;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" hid - open path=");
        if (at != std::string::npos) {
            const std::size_t start = at + 17;
            nodes.insert(line.substr(start, line.find(' ', start) - start));
        }
    }
    return nodes;
}

class ProgrammerChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        bin = dir + "/code.bin";
        WriteBytes(bin, std::vector<unsigned char>(600, 0x5A));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
    std::string bin;
};

TEST_F(ProgrammerChoiceTest, DetectListsEveryProgrammerAsTextAndAsJson) {
    const Outcome text = RunKorvid({"detect"}, kThree);
    ASSERT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_EQ(text.out,
              "0-1  HID programmer, serial SIM0001, identifier 0x0603, accessible, firmware "
              "matches\n"
              "0-3  HID programmer, serial SIM0003, identifier 0x0603, accessible, firmware "
              "matches\n"
              "0-2  older pipe programmer, serial SIM0002, identifier 0x0551, accessible, "
              "firmware matches\n");
    const Outcome json = RunKorvid({"--json", "detect"}, kThree);
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const std::vector<Json> objects = JsonLines(json.out);
    ASSERT_EQ(objects.size(), 3u);
    std::vector<std::string> locations;
    for (const Json& object : objects) {
        locations.push_back(object.at("location"));
        EXPECT_EQ(object.at("accessible"), true);
        EXPECT_EQ(object.at("firmwareMatches"), true);
    }
    EXPECT_THAT(locations, ElementsAre("0-1", "0-3", "0-2"));
    EXPECT_EQ(objects[2].at("link"), "pipe");
    EXPECT_EQ(objects[2].at("serial"), "SIM0002");
    EXPECT_EQ(objects[2].at("identifier"), "0x0551");
    EXPECT_EQ(objects[1].at("identifier"), "0x0603");
}

TEST_F(ProgrammerChoiceTest, HelpNamesEverySimulatedProgrammerThatAListTakes) {
    const Outcome help = RunKorvid({"--help"});
    ASSERT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, HasSubstr("comma-separated list"));
    for (const std::string name : {"hid", "hid-old", "hid-update", "pipe", "pipe-old", "pipe-boot",
                                   "hid-refuse", "hid-stuck", "hid-noaccess"}) {
        EXPECT_THAT(help.out, HasSubstr("\n                          " + name + " ")) << name;
        // Each one is taken in a list: detect lists it after the first.
        const Outcome detect =
            RunKorvid({"--json", "detect"},
                      {{"KORVID_SIMULATE", "hid," + name}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
        ASSERT_EQ(JsonLines(detect.out).size(), 2u) << name << detect.err;
    }
    EXPECT_THAT(help.out, HasSubstr("KORVID_SIMULATE_CLOCK=virtual"));
    // Asking for the version is no usage error either.
    const Outcome version = RunKorvid({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_THAT(version.out, HasSubstr("korvid 7.10.0"));
}

TEST_F(ProgrammerChoiceTest, DetectSaysWhichProgrammerIsOutdatedOrNotAccessible) {
    const Outcome run = RunKorvid(
        {"--json", "detect"},
        {{"KORVID_SIMULATE", "hid,hid-old,hid-noaccess"}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
    const std::vector<Json> objects = JsonLines(run.out);
    ASSERT_EQ(objects.size(), 3u) << run.out;
    EXPECT_EQ(objects[0].at("firmwareMatches"), true);
    EXPECT_EQ(objects[1].at("firmwareMatches"), false);
    EXPECT_EQ(objects[2].at("accessible"), false);
    EXPECT_EQ(run.exitStatus, 12);
}

// A programmer whose device node this user may not open, as the library lists it:
// every command that meets it names the node and the fix, in human text and JSON.
TEST_F(ProgrammerChoiceTest, ANodeThatMayNotBeOpenedIsReportedWithItsFix) {
    const std::map<std::string, std::string> blocked{{"KORVID_SIMULATE", "hid-noaccess"}};
#if defined(_WIN32)
    const std::string fix = "Windows refused this user access to sim-hid-0: ";
#else
    const std::string fix = "this user may not open sim-hid-0: install 60-korvid.rules into ";
#endif
    const Outcome detect = RunKorvid({"detect"}, blocked);
    EXPECT_EQ(detect.exitStatus, 12);
    EXPECT_THAT(detect.out, HasSubstr("0-1  HID programmer, serial SIM0001, not accessible: "
                                      "The programmer is connected, but " +
                                      fix));
    const Outcome detectJson = RunKorvid({"--json", "detect"}, blocked);
    EXPECT_EQ(detectJson.exitStatus, 12);
    const Json detected = JsonLines(detectJson.out).at(0);
    EXPECT_EQ(detected.at("accessible"), false);
    EXPECT_EQ(detected.at("node"), "sim-hid-0");
    EXPECT_THAT(detected.at("message").get<std::string>(), HasSubstr(fix));

    const Outcome dump = RunKorvid({"dump"}, blocked);
    EXPECT_EQ(dump.exitStatus, 12);
    EXPECT_THAT(dump.err, HasSubstr("korvid dump: Not find device ! The programmer is connected, "
                                    "but " +
                                    fix));
    EXPECT_THAT(dump.err, HasSubstr(". (result code 225, 0xE1)\n"));
    const Outcome dumpJson = RunKorvid({"--json", "dump"}, blocked);
    EXPECT_EQ(dumpJson.exitStatus, 12);
    const std::string message = JsonLines(dumpJson.out).at(0).at("message");
    EXPECT_EQ(message.rfind("Not find device ! The programmer is connected, but " + fix, 0), 0u);
    EXPECT_EQ(message.back(), '.');

    // Selected among others, and through programming as well.
    const Outcome program = RunKorvid({"program", bin, "-p", "Part A1", "--device", "0-2"},
                                      {{"KORVID_SIMULATE", "hid,hid-noaccess"}});
    EXPECT_EQ(program.exitStatus, 12);
    EXPECT_THAT(program.err, HasSubstr("sim-hid-1"));
}

TEST_F(ProgrammerChoiceTest, NoDeviceFromAnAccessibleProgrammerComesWithoutAdvice) {
    // The programmer may be opened but gives no stable answer (faked here).
    const Outcome dump = RunKorvid(
        {"--json", "dump"}, {{"KORVID_SIMULATE", "hid"}, {"KORVID_FAKE_DUMPMCUINFO", "225"}});
    EXPECT_EQ(dump.exitStatus, 11);
    EXPECT_EQ(JsonLines(dump.out).at(0).at("message"), "Not find device !");
    const Outcome human =
        RunKorvid({"dump"}, {{"KORVID_SIMULATE", "hid"}, {"KORVID_FAKE_DUMPMCUINFO", "225"}});
    EXPECT_EQ(human.err, "korvid dump: Not find device ! (result code 225, 0xE1)\n");
}

TEST_F(ProgrammerChoiceTest, DeviceByLocationOrSerialTalksOnlyToThatProgrammer) {
    for (const auto& [device, node] : std::map<std::string, std::string>{
             {"0-3", "sim-hid-1"}, {"SIM0001", "sim-hid-0"}, {"SIM0003", "sim-hid-1"}}) {
        const std::string trace = dir + "/" + device + ".trace";
        const Outcome run = RunKorvid(
            {"--json", "--trace", trace, "program", bin, "-p", "Part A1", "--device", device},
            kThree);
        ASSERT_EQ(run.exitStatus, 0) << device << run.err;
        EXPECT_THAT(OpenedHidNodes(ReadText(trace)), ElementsAre(node)) << device;
        EXPECT_THAT(ReadText(trace), HasSubstr("api - call name=UpdateMCU"));
        const Json result = JsonLines(run.out).at(0);
        EXPECT_EQ(result.at("location"), node == "sim-hid-0" ? "0-1" : "0-3");
    }
    const Outcome dump = RunKorvid({"--json", "dump", "--device", "0-2"}, kThree);
    EXPECT_EQ(dump.exitStatus, 0) << dump.err;
    EXPECT_EQ(JsonLines(dump.out).at(0).at("programmerSerial"), "SIM0002");
}

// A programmer that appears while detect chooses the one --device names: one
// listing decides, so the outcome is that listing's, never a lookup of nothing.
TEST_F(ProgrammerChoiceTest, DetectWithADeviceDecidesOnOneListing) {
    const Outcome before =
        RunKorvid({"--json", "detect", "--device", "0-1"},
                  {{"KORVID_SIMULATE", "hid"}, {"KORVID_FAKE_EMPTY_LISTINGS", "2"}});
    EXPECT_EQ(before.exitStatus, 11);
    EXPECT_THAT(
        before.out,
        HasSubstr(R"(no programmer found with location or serial \"0-1\"; attached: none)"));
    EXPECT_THAT(before.calls, ::testing::IsEmpty());
    const Outcome after =
        RunKorvid({"--json", "detect", "--device", "0-1"},
                  {{"KORVID_SIMULATE", "hid"}, {"KORVID_FAKE_EMPTY_LISTINGS", "0"}});
    EXPECT_EQ(after.exitStatus, 0) << after.err;
    EXPECT_THAT(after.out, HasSubstr(R"("location":"0-1")"));
}

TEST_F(ProgrammerChoiceTest, AnUnknownDeviceFindsNoProgrammerAndSendsNothing) {
    for (const auto& command : std::vector<std::vector<std::string>>{
             {"program", bin, "-p", "Part A1"}, {"dump"}, {"update-firmware"}, {"detect"}}) {
        std::vector<std::string> args{"--json"};
        args.insert(args.end(), command.begin(), command.end());
        args.insert(args.end(), {"--device", "9-9"});
        const Outcome run = RunKorvid(args, kThree);
        EXPECT_EQ(run.exitStatus, 11) << command[0];
        EXPECT_THAT(run.out, HasSubstr("no programmer found with location or serial \\\"9-9\\\"; "
                                       "attached: 0-1 (SIM0001), 0-3 (SIM0003), 0-2 (SIM0002)"))
            << command[0];
        EXPECT_THAT(run.calls, ::testing::IsEmpty()) << command[0];
    }
}

TEST_F(ProgrammerChoiceTest, DeviceBeforeTheCommandMeansWhatItMeansAfterIt) {
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"detect"}, {"dump"}, {"program", bin, "-p", "Part A1"}}) {
        std::vector<std::string> before{"--json", "--device", "SIM0003"};
        before.insert(before.end(), command.begin(), command.end());
        std::vector<std::string> after{"--json"};
        after.insert(after.end(), command.begin(), command.end());
        after.insert(after.end(), {"--device", "SIM0003"});
        const Outcome leading = RunKorvid(before, kThree);
        const Outcome trailing = RunKorvid(after, kThree);
        ASSERT_EQ(leading.exitStatus, 0) << command[0] << leading.err;
        EXPECT_EQ(JsonLines(leading.out), JsonLines(trailing.out)) << command[0];
        EXPECT_EQ(JsonLines(leading.out).at(0).at("location"), "0-3") << command[0];
        EXPECT_EQ(leading.calls, trailing.calls) << command[0];
    }
    // Several programmers for program: those before and those after the command.
    const Outcome both = RunKorvid({"--json", "--device", "0-3", "program", bin, "-p", "Part A1",
                                    "--store", "--device", "0-1"},
                                   kThree);
    ASSERT_EQ(both.exitStatus, 0) << both.err;
    std::set<std::string> loaded;
    for (const Json& result : JsonLines(both.out)) {
        loaded.insert(result.at("location").get<std::string>());
    }
    EXPECT_THAT(loaded, ElementsAre("0-1", "0-3"));
    // One programmer in all for dump; none for a command that talks to no programmer.
    const Outcome twice = RunKorvid({"--device", "0-1", "dump", "--device", "0-3"}, kThree);
    EXPECT_EQ(twice.exitStatus, 2);
    EXPECT_THAT(twice.err, HasSubstr("--device: At Most 1 required but received 2"));
    const Outcome parts = RunKorvid({"--device", "0-1", "parts"}, kThree);
    EXPECT_EQ(parts.exitStatus, 2);
    EXPECT_THAT(parts.err, HasSubstr("--device: does not apply to parts"));
    EXPECT_THAT(twice.calls, ::testing::IsEmpty());
}

TEST_F(ProgrammerChoiceTest, LogBeforeTheCommandMeansWhatItMeansAfterIt) {
    const std::string log = dir + "/line.jsonl";
    ASSERT_EQ(RunKorvid({"--log", log, "dump"}, kThree).exitStatus, 0);
    ASSERT_EQ(RunKorvid({"--log", log, "program", bin, "-p", "Part A1"}, kThree).exitStatus, 0);
    ASSERT_EQ(RunKorvid({"dump", "--log", log}, kThree).exitStatus, 0);
    std::vector<std::string> operations;
    for (const Json& line : JsonLines(ReadText(log))) {
        operations.push_back(line.at("operation"));
        EXPECT_EQ(line.at("location"), "0-1");
    }
    EXPECT_THAT(operations, ElementsAre("dump", "program", "dump"));
    // One log in all; none for a command that logs nothing. Nothing is sent.
    const Outcome twice = RunKorvid({"--log", log, "dump", "--log", dir + "/other"}, kThree);
    EXPECT_EQ(twice.exitStatus, 2);
    EXPECT_THAT(twice.err, HasSubstr("--log: At Most 1 required but received 2"));
    const Outcome detect = RunKorvid({"--log", log, "detect"}, kThree);
    EXPECT_EQ(detect.exitStatus, 2);
    EXPECT_THAT(detect.err, HasSubstr("--log: does not apply to detect"));
    EXPECT_THAT(twice.calls, ::testing::IsEmpty());
    EXPECT_EQ(JsonLines(ReadText(log)).size(), 3u);
}

TEST_F(ProgrammerChoiceTest, TraceIsWrittenOrItsFileRefusedBeforeAnythingIsSent) {
    const std::string trace = dir + "/dump.trace";
    const Outcome run = RunKorvid({"--trace", trace, "dump"}, kThree);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::string text = ReadText(trace);
    EXPECT_THAT(text, ::testing::StartsWith("# korvid wire trace, format 1:"));
    EXPECT_THAT(text, HasSubstr("hid > output length=65 result=ok data=1fc5"));
    const Outcome refused = RunKorvid({"--trace", dir + "/no/such/dir/t", "dump"}, kThree);
    EXPECT_EQ(refused.exitStatus, 4);
    EXPECT_THAT(refused.err, HasSubstr("cannot open the trace file"));
    EXPECT_THAT(refused.calls, ::testing::IsEmpty());
}

TEST_F(ProgrammerChoiceTest, JsonProgressEventsFollowProgrammingAndReflashing) {
    const Outcome program = RunKorvid({"--json", "program", bin, "-p", "Part A1"}, kThree);
    ASSERT_EQ(program.exitStatus, 0) << program.err;
    std::vector<std::string> phases;
    std::vector<uint32_t> sent;
    for (const Json& event : JsonLines(program.err)) {
        EXPECT_EQ(event.at("event"), "progress");
        EXPECT_EQ(event.at("operation"), "program");
        if (phases.empty() || phases.back() != event.at("phase")) {
            phases.push_back(event.at("phase"));
        }
        if (event.at("phase") == "sending image") {
            EXPECT_EQ(event.at("total"), 600);
            sent.push_back(event.at("done"));
        }
    }
    EXPECT_THAT(phases, ElementsAre("detecting", "sending command", "sending image", "waiting"));
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), 0u);
    EXPECT_EQ(sent.back(), 600u);
    EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end()));

    const Outcome reflash =
        RunKorvid({"--json", "update-firmware"},
                  {{"KORVID_SIMULATE", "hid-old"}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
    ASSERT_EQ(reflash.exitStatus, 0) << reflash.err;
    phases.clear();
    uint32_t firmwareDone = 0;
    uint32_t firmwareTotal = 0;
    for (const Json& event : JsonLines(reflash.err)) {
        EXPECT_EQ(event.at("operation"), "update-firmware");
        if (phases.empty() || phases.back() != event.at("phase")) {
            phases.push_back(event.at("phase"));
        }
        if (event.at("phase") == "sending firmware") {
            firmwareDone = event.at("done");
            firmwareTotal = event.at("total");
        }
    }
    EXPECT_THAT(phases, ElementsAre("sending command", "waiting for restart", "sending firmware",
                                    "waiting for restart"));
    EXPECT_GT(firmwareTotal, 0u);
    EXPECT_EQ(firmwareDone, firmwareTotal);
    // Without --json and without a terminal nothing but the result is printed.
    const Outcome plain = RunKorvid({"program", bin, "-p", "Part A1"}, kThree);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.out, "Update success !\n");
}

}  // namespace
}  // namespace korvid::cli::test
