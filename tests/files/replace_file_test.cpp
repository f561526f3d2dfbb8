// ReplaceFileContents on the things a path may name: a new or an existing file, a
// symbolic link (also one that names no file yet), a device, a FIFO.
#include "files/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace korvid::files {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<uint8_t> kHead = {0x02, 0x00};
const std::vector<uint8_t> kTail = {0x30, 0xFF, 0x0A};

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class ReplaceFileTest : public ::testing::TestWithParam<Durability> {
protected:
    ReplaceFileTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("korvid-replace-" + std::to_string(info->line()) + "-" +
                                            std::to_string(static_cast<int>(GetParam())));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~ReplaceFileTest() override { fs::remove_all(dir_); }

    int Replace(const fs::path& path) {
        return ReplaceFileContents(path.string().c_str(), {kHead, kTail}, GetParam());
    }
    // What the folder holds: no temporary file is ever left behind.
    size_t Entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

INSTANTIATE_TEST_SUITE_P(Files, ReplaceFileTest,
                         ::testing::Values(Durability::Fast, Durability::Synced),
                         [](const auto& info) {
                             return info.param == Durability::Fast ? "Fast" : "Synced";
                         });

TEST_P(ReplaceFileTest, ANewOrAnExistingFileGetsThePiecesInOrder) {
    const fs::path path = dir_ / "out.bin";
    ASSERT_EQ(Replace(path), 0);
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0x02, 0x00, 0x30, 0xFF, 0x0A}));
    WriteAll(path, kOld);
    ASSERT_EQ(Replace(path), 0);
    EXPECT_EQ(ReadAll(path).size(), 5u);
    EXPECT_EQ(Entries(), 1u);
}

TEST_P(ReplaceFileTest, AFolderThatCannotBeWrittenIsAnErrorAndLeavesNothing) {
    EXPECT_NE(
        ReplaceFileContents((dir_ / "missing" / "out.bin").string().c_str(), {kHead}, GetParam()),
        0);
    EXPECT_NE(Replace(dir_), 0);  // a folder is no file
    EXPECT_EQ(Entries(), 0u);
}

#if defined(_WIN32)
TEST_P(ReplaceFileTest, TheNulDeviceIsWrittenInPlace) {
    EXPECT_EQ(Replace("NUL"), 0);
    EXPECT_EQ(Entries(), 0u);
}
#else
// A link stays a link, and the file it names gets the content, with its mode.
TEST_P(ReplaceFileTest, ASymbolicLinkIsFollowedToTheFileItNames) {
    const fs::path real = dir_ / "real.bin";
    WriteAll(real, kOld);
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    fs::create_symlink("real.bin", dir_ / "link.bin");
    fs::create_symlink(dir_ / "link.bin", dir_ / "chain.bin");
    ASSERT_EQ(Replace(dir_ / "chain.bin"), 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "chain.bin"));
    EXPECT_EQ(ReadAll(real).size(), 5u);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), 3u);
}

// A link that names no file yet: the file is created where it points.
TEST_P(ReplaceFileTest, ALinkToAFileNotYetThereCreatesIt) {
    fs::create_directories(dir_ / "sub");
    fs::create_symlink("sub/made.bin", dir_ / "dangling.bin");
    ASSERT_EQ(Replace(dir_ / "dangling.bin"), 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.bin"));
    EXPECT_EQ(ReadAll(dir_ / "sub" / "made.bin").size(), 5u);
}

// A new file gets the mode any program's new file gets: 0666 less the umask.
TEST_P(ReplaceFileTest, ANewFileHasTheModeTheUmaskGives) {
    const mode_t previous = ::umask(027);
    const int result = Replace(dir_ / "new.bin");
    ::umask(previous);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(fs::status(dir_ / "new.bin").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The null and the full device, as nodes of this test's own when it may make them
// (as root), so that a routine that replaced devices could never replace /dev's.
TEST_P(ReplaceFileTest, DevicesAreWrittenInPlace) {
    fs::path null = "/dev/null";
    fs::path full = "/dev/full";
    if (::geteuid() == 0) {
        null = dir_ / "null";
        full = dir_ / "full";
        if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
            ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
            GTEST_SKIP() << "no device nodes may be made here";
        }
    }
    EXPECT_EQ(Replace(null), 0);
    EXPECT_TRUE(fs::is_character_file(null));
    EXPECT_EQ(Replace(full), ENOSPC);
    EXPECT_TRUE(fs::is_character_file(full));
}

// A FIFO is written into, never replaced; one without a reader is an error at once.
TEST_P(ReplaceFileTest, AFifoIsWrittenIntoAndOneWithoutAReaderIsRefused) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Replace(fifo), ENXIO);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(Replace(fifo), 0);
    uint8_t got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5);
    EXPECT_EQ(got[4], 0x0A);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// The old content stays whole when the new one cannot be written.
TEST_P(ReplaceFileTest, AFailedWriteKeepsTheOldContent) {
    const fs::path path = dir_ / "kept.bin";
    WriteAll(path, kOld);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {2, 2};  // no file may grow beyond 2 bytes
        ::setrlimit(RLIMIT_FSIZE, &limit);
        _exit(Replace(path) == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadAll(path), kOld);
    EXPECT_EQ(Entries(), 1u);
}
#endif

}  // namespace
}  // namespace korvid::files
