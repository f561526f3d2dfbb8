// Projects saved by the tool are the same bytes on every platform: each case is
// saved by this build's korvid and compared with the project the Linux build
// saved from the same input (tests/cli/projects), except for the fields written
// for information only (the random word and the time stamp) and the footer sum
// over them, which is checked against the bytes instead. Recorded on Linux with
//   korvid kpj save INPUT ARGUMENTS... -o tests/cli/projects/NAME.kpj
// from the inputs that Inputs() writes.
#include "korvid_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace korvid::cli::test {
namespace {

using Bytes = std::vector<unsigned char>;

struct Case {
    std::string project;  // the recorded file in tests/cli/projects
    std::string input;    // written by WriteInputs
    std::vector<std::string> arguments;
};

const std::vector<Case> kCases = {
    {"blink-part-a4.kpj", "blink.hex", {"-p", "Part A4"}},
    {"pattern-part-c1-data.kpj",
     "pattern.bin",
     {"-p", "Part C1", "--option", "KEEP IAP-DATA", "--data"}},
    {"gaps-part-b5.kpj", "gaps.ihx", {"-p", "Part B5", "--option", "HWENW", "--option", "OSCDN"}},
};

void WriteInputs(const std::string& dir) {
    const std::string blink = ":1000000002000380FE000102030405060708090A36\n:00000001FF\n";
    WriteBytes(dir + "/blink.hex", Bytes(blink.begin(), blink.end()));
    Bytes pattern(0x300);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<unsigned char>(i * 13 + 5);
    }
    WriteBytes(dir + "/pattern.bin", pattern);
    // Two records with a gap between them, CR LF line ends.
    const std::string gaps = ":04000000020010806A\r\n:03001000E4F58094\r\n:00000001FF\r\n";
    WriteBytes(dir + "/gaps.ihx", Bytes(gaps.begin(), gaps.end()));
}

// The footer sum: every footer byte except the two of the sum itself.
unsigned FooterSum(const Bytes& file) {
    const std::size_t footer = (file[file.size() - 2] << 8) | file[file.size() - 1];
    unsigned sum = 0;
    for (std::size_t at = file.size() - footer; at < file.size(); ++at) {
        const std::size_t back = file.size() - at;
        if (back != 4 && back != 3) {
            sum += file[at];
        }
    }
    return sum & 0xFFFF;
}

TEST(ProjectFiles, AreTheBytesTheLinuxBuildSaves) {
    const std::string dir = ScratchDir();
    WriteInputs(dir);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.project);
        const std::string saved = dir + "/" + c.project;
        std::vector<std::string> args{"kpj", "save", dir + "/" + c.input};
        args.insert(args.end(), c.arguments.begin(), c.arguments.end());
        args.insert(args.end(), {"-o", saved});
        const Outcome run = RunKorvid(args);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        Bytes written = ReadBytes(saved);
        Bytes recorded = ReadBytes(std::string(KORVID_PROJECTS_DIR) + "/" + c.project);
        ASSERT_EQ(written.size(), recorded.size());
        ASSERT_GT(written.size(), 53u);
        const std::size_t end = written.size();
        EXPECT_EQ(FooterSum(written), (written[end - 4] << 8) | written[end - 3]);
        // The random word and the time stamp differ from save to save.
        for (std::size_t back = 3; back <= 17; ++back) {
            if (back <= 4 || back >= 10) {
                written[end - back] = recorded[end - back] = 0;
            }
        }
        EXPECT_EQ(written, recorded);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace korvid::cli::test
