// The project-file exports on real files: open and write failures, keeping the old
// file when a write fails, and LoadKPJBuffer against a file that changed.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/option_encoding.h"
#include "korvid.h"
#include "kpj_bytes.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

struct Job {
    std::vector<uint8_t> code;
    JobRecord record{};

    Job(int32_t partIndex, uint32_t area, size_t codeLength) : code(codeLength) {
        for (size_t at = 0; at < code.size(); ++at) {
            code[at] = static_cast<uint8_t>(at * 7 + partIndex);
        }
        std::strcpy(record.codeName, "job.hex");
        record.partIndex = partIndex;
        record.programArea = area;
        record.codeLength = static_cast<uint32_t>(code.size());
        record.codeBuffer = code.data();
    }
};

std::vector<uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TEST(KpjFiles, FilesThatCannotBeOpenedGiveE6) {
    ScratchFolder folder;
    JobRecord job{};
    uint32_t icpFlag = 0;
    uint8_t buffer[4];
    const std::string missing = (folder.path() / "missing.kpj").string();
    EXPECT_EQ(LoadKPJInfo(missing.c_str(), &job, &icpFlag), RC_FILE_OPEN);
    EXPECT_EQ(LoadKPJBuffer(missing.c_str(), buffer), RC_FILE_OPEN);
    EXPECT_EQ(LoadKPJInfo(folder.path().string().c_str(), &job, &icpFlag), RC_FILE_OPEN);
#if defined(_WIN32)
    // A device is no project (NUL), and a pipe that nobody serves takes none.
    const std::string device = "NUL";
    const std::string unserved = "\\\\.\\pipe\\korvid-served-by-nobody";
#else
    const std::string device = (folder.path() / "pipe.kpj").string();
    ASSERT_EQ(mkfifo(device.c_str(), 0600), 0);
    const std::string unserved = device;  // a fifo without a reader
#endif
    EXPECT_EQ(LoadKPJInfo(device.c_str(), &job, &icpFlag), RC_FILE_OPEN);  // and does not block
    EXPECT_EQ(LoadKPJInfo(nullptr, &job, &icpFlag), RC_FILE_OPEN);
    EXPECT_EQ(LoadKPJInfo(missing.c_str(), nullptr, &icpFlag), RC_FILE_OPEN);

    Job save(0, AREA_AP, 8);
    EXPECT_EQ(SaveKPJ((folder.path() / "no/such/folder.kpj").string().c_str(), &save.record, 0),
              RC_FILE_OPEN);
    EXPECT_EQ(SaveKPJ(folder.path().string().c_str(), &save.record, 0), RC_FILE_OPEN);
    EXPECT_EQ(SaveKPJ(unserved.c_str(), &save.record, 0), RC_FILE_OPEN);
    EXPECT_EQ(SaveKPJ(nullptr, &save.record, 0), RC_FILE_OPEN);
}

TEST(KpjFiles, AFullDeviceIsAWriteFailure) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no device that is always full";
#endif
    Job job(5, AREA_AP, 64);
    EXPECT_EQ(SaveKPJ("/dev/full", &job.record, 0), RC_FILE_OPEN);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(KpjFiles, AWriteThatFailsHalfwayKeepsTheProjectThatStoodThere) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no file size limit per process to make a write fail halfway";
#else
    ScratchFolder folder;
    const fs::path path = folder.path() / "kept.kpj";
    Job good(3, AREA_IAP, 50);
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &good.record, 0), RC_OK);
    const std::vector<uint8_t> before = readAll(path);

    // A child process that may write no file larger than 4 KiB: the disk is "full".
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        Job large(3, AREA_IAP, 20000);
        _exit(SaveKPJ(path.string().c_str(), &large.record, 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), RC_FILE_OPEN);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
#endif
}

#if defined(_WIN32)
// Replacing keeps the replaced file's attributes, as rename keeps the mode on Linux.
TEST(KpjFiles, ReplacingKeepsTheAttributes) {
    ScratchFolder folder;
    const std::string real = (folder.path() / "real.kpj").string();
    Job first(0, AREA_AP, 10);
    ASSERT_EQ(SaveKPJ(real.c_str(), &first.record, 0), RC_OK);
    ASSERT_TRUE(SetFileAttributesA(real.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Job second(1, AREA_ISP, 30);
    ASSERT_EQ(SaveKPJ(real.c_str(), &second.record, 0), RC_OK);
    EXPECT_NE(GetFileAttributesA(real.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    JobRecord loaded{};
    uint32_t icpFlag = 0;
    ASSERT_EQ(LoadKPJInfo(real.c_str(), &loaded, &icpFlag), RC_OK);
    EXPECT_EQ(loaded.partIndex, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);  // no temporary left
}
#else
TEST(KpjFiles, ReplacingKeepsTheModeAndFollowsSymbolicLinks) {
    ScratchFolder folder;
    const fs::path real = folder.path() / "real.kpj";
    const fs::path link = folder.path() / "link.kpj";
    Job first(0, AREA_AP, 10);
    ASSERT_EQ(SaveKPJ(real.c_str(), &first.record, 0), RC_OK);
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    fs::create_symlink(real.filename(), link);
    Job second(1, AREA_ISP, 30);
    ASSERT_EQ(SaveKPJ(link.c_str(), &second.record, 0), RC_OK);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    JobRecord loaded{};
    uint32_t icpFlag = 0;
    ASSERT_EQ(LoadKPJInfo(real.c_str(), &loaded, &icpFlag), RC_OK);
    EXPECT_EQ(loaded.partIndex, 1);
}
#endif

TEST(KpjFiles, LoadKpjBufferNeverCopiesMoreThanTheAcceptedLength) {
    ScratchFolder folder;
    const fs::path path = folder.path() / "changing.kpj";
    const fs::path other = folder.path() / "other.kpj";
    Job small(10, AREA_AP, 16);
    Job large(10, AREA_AP, 4096);
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &small.record, 0), RC_OK);
    ASSERT_EQ(SaveKPJ(other.string().c_str(), &small.record, 0), RC_OK);
    JobRecord loaded{};
    uint32_t icpFlag = 0;
    ASSERT_EQ(LoadKPJInfo(path.string().c_str(), &loaded, &icpFlag), RC_OK);
    ASSERT_EQ(loaded.codeLength, 16u);
    std::vector<uint8_t> exact(16);
    ASSERT_EQ(LoadKPJBuffer(path.string().c_str(), exact.data()), RC_OK);
    EXPECT_EQ(exact, small.code);

    // The file becomes a valid but larger project before its code is fetched.
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &large.record, 0), RC_OK);
    std::vector<uint8_t> buffer(16 + 8, 0xAA);
    EXPECT_EQ(LoadKPJBuffer(path.string().c_str(), buffer.data()), RC_KPJ_CODE_LENGTH);
    EXPECT_EQ(buffer, std::vector<uint8_t>(24, 0xAA));
    // Another file than the accepted one.
    EXPECT_EQ(LoadKPJBuffer(other.string().c_str(), buffer.data()), RC_KPJ_CODE_LENGTH);

    // A file altered in place but of the same length is checked again.
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &small.record, 0), RC_OK);
    ASSERT_EQ(LoadKPJInfo(path.string().c_str(), &loaded, &icpFlag), RC_OK);
    std::vector<uint8_t> bytes = readAll(path);
    bytes[0] ^= 1;
    writeAll(path, bytes);
    EXPECT_EQ(LoadKPJBuffer(path.string().c_str(), buffer.data()), RC_KPJ_CODE_SUM);

    // A failed info load forgets the accepted project.
    EXPECT_EQ(LoadKPJInfo(path.string().c_str(), &loaded, &icpFlag), RC_KPJ_CODE_SUM);
    EXPECT_EQ(LoadKPJBuffer(path.string().c_str(), buffer.data()), RC_KPJ_CODE_LENGTH);
}

TEST(KpjFiles, AnEmptyProjectLoadsWithoutABuffer) {
    ScratchFolder folder;
    const fs::path path = folder.path() / "empty.kpj";
    Job empty(7, AREA_WHOLE_CHIP, 0);
    empty.record.codeBuffer = nullptr;
    ASSERT_EQ(SaveKPJ(path.string().c_str(), &empty.record, 0), RC_OK);
    EXPECT_EQ(fs::file_size(path), 53u + 7u);
    JobRecord loaded{};
    uint32_t icpFlag = 0;
    ASSERT_EQ(LoadKPJInfo(path.string().c_str(), &loaded, &icpFlag), RC_OK);
    EXPECT_EQ(loaded.codeLength, 0u);
    EXPECT_EQ(loaded.programArea, AREA_WHOLE_CHIP);
    EXPECT_EQ(LoadKPJBuffer(path.string().c_str(), nullptr), RC_OK);
}

}  // namespace
