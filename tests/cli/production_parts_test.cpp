// The production pieces of korvid on their own: the serial counter file under
// concurrent and killed commands, serial ranges, the production log, worker
// processes and the worker request.
#include "production_log.h"
#include "serial_counter.h"
#include "serial_ranges.h"
#include "worker_processes.h"
#include "worker_request.h"

#include "child_process.h"
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace korvid::cli::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override { dir = ScratchDir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

TEST(CounterText, IsOneLineOfEightHexadecimalDigits) {
    EXPECT_EQ(CounterText(0x1300), "0x00001300\n");
    EXPECT_EQ(CounterText(0xFFFFFFFF), "0xFFFFFFFF\n");
    EXPECT_EQ(ParseCounterText("0x00001300\n"), 0x1300u);
    EXPECT_EQ(ParseCounterText("0x1300"), 0x1300u);
    EXPECT_EQ(ParseCounterText("0xabcdef01\n"), 0xABCDEF01u);
    for (const char* bad : {"", "\n", "0x", "0x\n", "1300\n", "0x00001300\n\n", " 0x1300\n",
                            "0x000013000\n", "0x13G0\n", "0x1300 \n", "0X1300\n", "0x-1\n"}) {
        EXPECT_EQ(ParseCounterText(bad), std::nullopt) << '"' << bad << '"';
    }
}

TEST_F(ScratchTest, AMissingCounterStartsAtTheInitialValueAndEachReservationFollowsTheLast) {
    const std::string counter = dir + "/next.txt";
    EXPECT_EQ(ReserveSerialNumbers(counter, 0x1000, 0x300), 0x1000u);
    EXPECT_EQ(ReadText(counter), "0x00001300\n");
    EXPECT_EQ(ReserveSerialNumbers(counter, 0x1000, 0x100), 0x1300u);
    EXPECT_EQ(ReserveSerialNumbers(counter, 0x9999, 1), 0x1400u);  // initial only when missing
    EXPECT_EQ(ReadText(counter), "0x00001401\n");
    EXPECT_EQ(ReadText(counter + ".lock"), "");  // the lock file beside it stays
}

TEST_F(ScratchTest, ACorruptOrExhaustedCounterIsRefusedAndLeftAsItWas) {
    const std::string counter = dir + "/next.txt";
    WriteText(counter, "next: 4096\n");
    try {
        ReserveSerialNumbers(counter, 0, 1);
        FAIL() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.status(), ExitStatus::CounterCorrupt);
        EXPECT_THAT(failure.what(), HasSubstr("does not hold a counter value"));
    }
    EXPECT_EQ(ReadText(counter), "next: 4096\n");
    WriteText(counter, "0xFFFFFF00\n");
    EXPECT_EQ(ReserveSerialNumbers(counter, 0, 0xFF), 0xFFFFFF00u);
    try {
        ReserveSerialNumbers(counter, 0, 1);
        FAIL() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.status(), ExitStatus::BadSetting);
    }
    EXPECT_EQ(ReadText(counter), "0xFFFFFFFF\n");
    try {
        ReserveSerialNumbers(dir + "/no/such/folder/next.txt", 0, 1);
        FAIL() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.status(), ExitStatus::FileError);
    }
}

// Processes reserving from one counter at once never get the same number.
TEST_F(ScratchTest, ConcurrentReservationsNeverOverlap) {
    const std::string counter = dir + "/next.txt";
    constexpr int kProcesses = 4;
    constexpr int kRounds = 25;
    std::vector<std::vector<std::string>> commands;
    for (int p = 0; p < kProcesses; ++p) {
        commands.push_back({KORVID_PRODUCTION_CHILD, "reserve", counter,
                            dir + "/got" + std::to_string(p), std::to_string(kRounds)});
    }
    for (const WorkerEnd& end : RunWorkers(commands, [](std::size_t, const std::string&) {})) {
        ASSERT_EQ(end.exitStatus, 0);
    }
    std::set<uint32_t> firsts;
    for (int p = 0; p < kProcesses; ++p) {
        std::istringstream got(ReadText(dir + "/got" + std::to_string(p)));
        for (uint32_t first; got >> first;) {
            EXPECT_EQ((first - 0x100) % 16, 0u);
            EXPECT_TRUE(firsts.insert(first).second) << "handed out twice: " << first;
        }
    }
    EXPECT_EQ(firsts.size(), std::size_t{kProcesses * kRounds});
    EXPECT_EQ(ReadText(counter), CounterText(0x100 + 16 * kProcesses * kRounds));
}

// A process reserving numbers and logging in a loop is killed at random moments:
// the counter is always whole and never goes back, and the log holds whole lines.
TEST_F(ScratchTest, KilledAtRandomMomentsTheCounterNeverGoesBackAndNoLogLineIsTorn) {
    const std::string counter = dir + "/next.txt";
    const std::string log = dir + "/line.jsonl";
    std::mt19937 random(20240501);
    uint32_t seen = 0x1000;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const auto logSize = [&log] {
            std::error_code missing;
            const auto size = std::filesystem::file_size(log, missing);
            return missing ? 0 : size;
        };
        const auto logged = logSize();
        ChildProcess child({KORVID_PRODUCTION_CHILD, "reserve-and-log", counter, log});
        // The moments are taken while the child works: from its first entry on,
        // however long the system takes to start a process (wine takes longer
        // than the whole window).
        const auto started = std::chrono::steady_clock::now();
        while (logSize() == logged) {
            ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30))
                << "the child logged nothing";
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        child.Kill();
        child.Wait();
        const std::string text = ReadText(counter);
        if (text.empty()) {
            ASSERT_EQ(seen, 0x1000u) << "the counter vanished after it was written";
            continue;
        }
        const std::optional<uint32_t> value = ParseCounterText(text);
        ASSERT_TRUE(value) << "torn counter: " << text;
        ASSERT_GE(*value, seen);
        seen = *value;
    }
    EXPECT_GT(seen, 0x1000u);
    const std::string lines = ReadText(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), '\n');
    // A kill while the kernel copies a line may leave its start behind, but a whole
    // entry never shares its line with one.
    std::istringstream stream(lines);
    int count = 0;
    for (std::string line; std::getline(stream, line);) {
        const Json entry = Json::parse(line, nullptr, false);
        if (entry.is_object()) {
            EXPECT_EQ(entry["message"], std::string(300, 'x'));
            ++count;
        } else {
            EXPECT_EQ(line.find("{\"time\"", 1), std::string::npos)
                << "two entries run together: " << line;
        }
    }
    EXPECT_GT(count, 0);
}

TEST(SerialRanges, FollowOneAnotherWithoutOverlap) {
    const std::vector<SerialRange> ranges = SplitSerialRanges(0x1000, 256, 3);
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(RangeText(ranges[0]), "0x00001000..0x000010FF");
    EXPECT_EQ(RangeText(ranges[1]), "0x00001100..0x000011FF");
    EXPECT_EQ(RangeText(ranges[2]), "0x00001200..0x000012FF");
    EXPECT_EQ(SplitSerialRanges(0xFFFFFFFE - 10, 5, 2).back().last(), 0xFFFFFFFEu - 1);
    for (const auto& [start, count, programmers] :
         {std::tuple{0x1000u, 0u, std::size_t{2}}, std::tuple{0xFFFFFF00u, 0x80u, std::size_t{2}},
          std::tuple{0u, 65530u, std::size_t{70000}}}) {
        try {
            SplitSerialRanges(start, count, programmers);
            ADD_FAILURE() << "no failure for " << start << " " << count;
        } catch (const CommandFailure& failure) {
            EXPECT_EQ(failure.status(), ExitStatus::BadSetting);
        }
    }
}

TEST_F(ScratchTest, LogLinesAreAppendedWithTimeHostAndTheLostRangeOfAFailure) {
    const std::string path = dir + "/line.jsonl";
    WriteText(path, "{\"earlier\":true}\n");
    {
        const ProductionLog log(path);
        OperationRecord failed;
        failed.operation = "store";
        failed.programmer = Json{{"location", "1-2"}, {"programmerSerial", "S2"}};
        failed.job = Json{{"part", "Part A4"}, {"maxCount", 256}};
        failed.serialRange = SerialRange{0x1100, 256};
        failed.resultCode = 0xE0;
        failed.message = "refused";
        failed.seconds = 1.2345;
        log.append(LogEntry(failed));
        OperationRecord dump;
        dump.operation = "dump";
        dump.programmer = Json{{"location", "1-1"}};
        dump.ok = true;
        dump.resultCode = 0;
        log.append(LogEntry(dump));
    }
    std::istringstream lines(ReadText(path));
    std::vector<Json> entries;
    for (std::string line; std::getline(lines, line);) {
        entries.push_back(Json::parse(line));
    }
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], Json({{"earlier", true}}));
    const Json& failed = entries[1];
    // std::regex: GoogleTest's own on Windows knows no character classes.
    EXPECT_TRUE(std::regex_match(failed["time"].get<std::string>(),
                                 std::regex("20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:"
                                            "[0-9]{2}\\.[0-9]{3}Z")))
        << failed["time"];
    EXPECT_FALSE(failed["host"].get<std::string>().empty());
    EXPECT_EQ(failed["operation"], "store");
    EXPECT_EQ(failed["location"], "1-2");
    EXPECT_EQ(failed["programmerSerial"], "S2");
    EXPECT_EQ(failed["part"], "Part A4");
    EXPECT_EQ(failed["serialRange"], Json({{"first", "0x00001100"}, {"last", "0x000011FF"}}));
    EXPECT_EQ(failed["serialRangeLost"], true);
    EXPECT_EQ(failed["ok"], false);
    EXPECT_EQ(failed["resultCode"], 0xE0);
    EXPECT_EQ(failed["durationMs"], 1235);
    EXPECT_FALSE(entries[2].contains("serialRange"));
    EXPECT_EQ(entries[2]["ok"], true);
    try {
        const ProductionLog missing(dir + "/no/such/folder/line.jsonl");
        FAIL() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.status(), ExitStatus::FileError);
    }
}

// Ctrl+C between --repeat's look at the interrupt flag and its wait for Enter
// ends the wait at once instead of being lost.
TEST(EnterWait, ACtrlCJustBeforeTheWaitEndsIt) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows waits with a reader thread and looks at the flag while it waits";
#else
    ChildProcess child({KORVID_PRODUCTION_CHILD, "interrupt-before-wait"});
    EXPECT_EQ(child.Wait(), 0);
#endif
}

TEST(WorkerProcesses, CollectOutputAndStatusAndHandOnErrorLinesOfEachWorker) {
    std::vector<std::pair<std::size_t, std::string>> errorLines;
    const std::vector<WorkerEnd> ends =
        RunWorkers({{KORVID_PRODUCTION_CHILD, "worker-lines"},
                    {KORVID_PRODUCTION_CHILD, "worker-stdin"},
                    {"/no/such/program"}},
                   [&](std::size_t worker, const std::string& line) {
                       errorLines.emplace_back(worker, line);
                   });
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].exitStatus, 3);
    EXPECT_EQ(ends[0].out, "one\n");
    EXPECT_EQ(ends[1].exitStatus, kKilledStatus);
    EXPECT_EQ(ends[1].out, "stdin::\n");  // stdin is /dev/null: workers never wait for input
    EXPECT_EQ(ends[2].exitStatus, 127);
    EXPECT_THAT(errorLines, ElementsAre(std::pair<std::size_t, std::string>{0, "note"},
                                        std::pair<std::size_t, std::string>{0, "half"}));
}

TEST(WorkerRequest, CarriesEveryChoiceThereAndBack) {
    WorkerRequest request;
    request.job.file = "/tmp/ä.hex";
    request.job.format = korvid::core::CodeFormat::Binary;
    request.job.part = "Part A4";
    request.job.options = {"KEEP IAP-DATA", "HWENW"};
    request.job.area = LoadArea::Data;
    request.job.address = 0x1200;
    request.job.truncate = true;
    request.job.hwwidl = "1";
    request.job.hwps = "5";
    request.store.store = true;
    request.store.serial = {256, true, true, "LINE-3", 0x1100, 0xF7F0};
    request.store.serialAddressGiven = true;
    request.policy = FirmwarePolicy::Update;
    request.location = "1-2";
    request.codeLength = 16;
    request.checksum = "0x0003";
    const WorkerRequest back = ParseWorkerRequest(JsonLine(WorkerRequestJson(request)));
    EXPECT_EQ(JsonLine(WorkerRequestJson(back)), JsonLine(WorkerRequestJson(request)));
    EXPECT_EQ(back.job.format, korvid::core::CodeFormat::Binary);
    EXPECT_EQ(back.job.address, 0x1200u);
    EXPECT_EQ(back.store.serial.serialNumber, 0x1100u);
    EXPECT_EQ(back.policy, FirmwarePolicy::Update);

    WorkerRequest plain;
    plain.job.file = "a.kpj";
    const WorkerRequest plainBack = ParseWorkerRequest(JsonLine(WorkerRequestJson(plain)));
    EXPECT_FALSE(plainBack.job.format);
    EXPECT_FALSE(plainBack.job.part);
    EXPECT_FALSE(plainBack.job.address);
    EXPECT_EQ(plainBack.policy, FirmwarePolicy::Refuse);
    for (const char* bad : {"", "[]", "{\"file\":1}", "{}"}) {
        try {
            ParseWorkerRequest(bad);
            ADD_FAILURE() << bad;
        } catch (const CommandFailure& failure) {
            EXPECT_EQ(failure.status(), ExitStatus::Usage);
        }
    }
}

}  // namespace
}  // namespace korvid::cli::test
