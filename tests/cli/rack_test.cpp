// Loading a rack of simulated programmers at once: disjoint serial ranges through
// the counter file, one log line per programmer, a failing programmer that leaves
// the others loaded, and a trace file per worker.
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Json = nlohmann::json;

std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        objects.push_back(Json::parse(line));
    }
    return objects;
}

class RackTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        hex = dir + "/blink.hex";
        std::ofstream(hex) << ":1000000002010000000000000000000000000000ED\n:00000001FF\n";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::vector<std::string> Store(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--json", "program", hex, "--part", "Part A4", "--store"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    std::string dir;
    std::string hex;
};

TEST_F(RackTest, ThreeProgrammersGetDisjointRangesAndTheCounterGoesOnAcrossCommands) {
    const std::vector<std::string> args =
        Store({"--all", "--max-count", "256", "--serial-number", "1000", "--serial-counter",
               dir + "/next.txt", "--log", dir + "/line.jsonl"});
    const std::map<std::string, std::string> env{{"KORVID_SIMULATE", "hid,hid,hid"},
                                                 {"KORVID_SIMULATE_CLOCK", "virtual"}};
    const std::vector<std::vector<std::string>> expected{
        {"0x00001000", "0x00001100", "0x00001200"}, {"0x00001300", "0x00001400", "0x00001500"}};
    const std::vector<std::string> counters{"0x00001300\n", "0x00001600\n"};
    for (std::size_t run = 0; run < 2; ++run) {
        const Outcome rack = RunKorvid(args, env);
        ASSERT_EQ(rack.exitStatus, 0) << rack.err;
        const std::vector<Json> results = JsonLines(rack.out);
        ASSERT_EQ(results.size(), 3u);
        std::vector<std::string> locations;
        std::vector<std::string> starts;
        for (const Json& result : results) {
            EXPECT_EQ(result.at("ok"), true);
            EXPECT_EQ(result.at("command"), "store");
            EXPECT_EQ(result.at("autoIncrement"), true);
            locations.push_back(result.at("location"));
            starts.push_back(result.at("serialNumber"));
            EXPECT_EQ(result.at("serialRange").at("first"), result.at("serialNumber"));
        }
        EXPECT_THAT(locations, ElementsAre("0-1", "0-2", "0-3"));
        EXPECT_EQ(starts, expected[run]);
        EXPECT_EQ(ReadText(dir + "/next.txt"), counters[run]);
        const std::vector<Json> log = JsonLines(ReadText(dir + "/line.jsonl"));
        ASSERT_EQ(log.size(), 3 * (run + 1));
        for (std::size_t i = 0; i < 3; ++i) {
            const Json& line = log[3 * run + i];
            EXPECT_EQ(line.at("operation"), "store");
            EXPECT_EQ(line.at("location"), locations[i]);
            EXPECT_EQ(line.at("serialRange").at("first"), expected[run][i]);
            EXPECT_EQ(line.at("maxCount"), 256);
            EXPECT_EQ(line.at("ok"), true);
        }
    }
}

TEST_F(RackTest, AFailingProgrammerLeavesTheOthersLoadedAndLosesItsRange) {
    const Outcome rack = RunKorvid(
        Store({"--all", "--max-count", "16", "--serial-number", "A0", "--log", dir + "/log"}),
        {{"KORVID_SIMULATE", "hid,hid-refuse,hid"}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
    EXPECT_EQ(rack.exitStatus, 21);
    const std::vector<Json> results = JsonLines(rack.out);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].at("ok"), true);
    EXPECT_EQ(results[2].at("ok"), true);
    const Json& refused = results[1];
    EXPECT_EQ(refused.at("location"), "0-2");
    EXPECT_EQ(refused.at("ok"), false);
    EXPECT_EQ(refused.at("resultCode"), 224);
    EXPECT_EQ(refused.at("serialRange"), (Json{{"first", "0x000000B0"}, {"last", "0x000000BF"}}));
    EXPECT_EQ(refused.at("serialRangeLost"), true);
    EXPECT_EQ(results[2].at("serialNumber"), "0x000000C0");
    const std::vector<Json> log = JsonLines(ReadText(dir + "/log"));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].at("ok"), false);
    EXPECT_EQ(log[1].at("serialRangeLost"), true);

    const Outcome human = RunKorvid(
        {"program", hex, "--part", "Part A4", "--store", "--all"},
        {{"KORVID_SIMULATE", "hid,hid-refuse,hid"}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
    EXPECT_EQ(human.exitStatus, 21);
    EXPECT_EQ(human.out, "0-1: Update success !\n0-3: Update success !\n");
    EXPECT_THAT(human.err, HasSubstr("korvid store: 0-2: Update fail !"));
    EXPECT_THAT(human.err, HasSubstr("korvid store: 1 of 3 programmers failed: 0-2\n"));
}

// A log that cannot be written (a full disk) ends nothing early: every programmer's
// result and serial range is reported, and the run then fails with the log's status.
TEST_F(RackTest, AFullLogStillReportsEveryResultAndRange) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no device that is always full";
#else
    const std::map<std::string, std::string> env{{"KORVID_SIMULATE", "hid,hid,hid"},
                                                 {"KORVID_SIMULATE_CLOCK", "virtual"}};
    const Outcome rack = RunKorvid(
        Store({"--all", "--max-count", "16", "--serial-number", "A0", "--log", "/dev/full"}), env);
    EXPECT_EQ(rack.exitStatus, 4);
    const std::vector<Json> results = JsonLines(rack.out);
    ASSERT_EQ(results.size(), 4u) << rack.out;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(results[i].at("ok"), true);
        EXPECT_EQ(results[i].at("location"), "0-" + std::to_string(i + 1));
        EXPECT_EQ(results[i].at("serialRange").at("first"), i == 0   ? "0x000000A0"
                                                            : i == 1 ? "0x000000B0"
                                                                     : "0x000000C0");
    }
    EXPECT_EQ(results[3].at("ok"), false);
    EXPECT_EQ(results[3].at("exitStatus"), 4);
    EXPECT_THAT(results[3].at("message").get<std::string>(),
                HasSubstr("cannot write the log \"/dev/full\""));

    const Outcome human = RunKorvid(
        {"program", hex, "--part", "Part A4", "--store", "--all", "--log", "/dev/full"}, env);
    EXPECT_EQ(human.exitStatus, 4);
    EXPECT_EQ(human.out,
              "0-1: Update success !\n0-2: Update success !\n0-3: Update success !\n"
              "3 programmers, all succeeded\n");
    EXPECT_THAT(human.err, HasSubstr("cannot write the log \"/dev/full\""));
#endif
}

TEST_F(RackTest, EachWorkerTracesToAFileOfItsOwn) {
    const std::string trace = dir + "/rack.trace";
    const Outcome rack =
        RunKorvid({"--trace", trace, "program", hex, "--part", "Part A4", "--store", "--device",
                   "0-1", "--device", "SIM0003"},
                  {{"KORVID_SIMULATE", "hid,hid,hid"}, {"KORVID_SIMULATE_CLOCK", "virtual"}});
    ASSERT_EQ(rack.exitStatus, 0) << rack.err;
    const std::string first = ReadText(trace + ".0-1");
    const std::string third = ReadText(trace + ".0-3");
    EXPECT_THAT(first, HasSubstr("hid - open path=sim-hid-0 "));
    EXPECT_THAT(first, ::testing::Not(HasSubstr("open path=sim-hid-2")));
    EXPECT_THAT(third, HasSubstr("hid - open path=sim-hid-2 "));
    EXPECT_THAT(third, ::testing::Not(HasSubstr("open path=sim-hid-0")));
    EXPECT_FALSE(std::ifstream(trace + ".0-2").good());
    EXPECT_THAT(ReadText(trace), ::testing::Not(HasSubstr(" open path=")));
}

}  // namespace
}  // namespace korvid::cli::test
