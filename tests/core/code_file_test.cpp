#include "code_file.h"
#include "code_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace korvid::core {
namespace {

namespace fs = std::filesystem;

TEST(OverlayImage, DataAreaLoadAfterCodeLeavesAGapOfFF) {
    const std::vector<uint8_t> code(0x1000, 0x11);
    const std::vector<uint8_t> data(0x400, 0x22);
    const std::vector<uint8_t> first = OverlayImage({}, code, 0);
    ASSERT_EQ(first.size(), 0x1000u);
    const std::vector<uint8_t> image = OverlayImage(first, data, 0x2000);
    ASSERT_EQ(image.size(), 0x2400u);
    EXPECT_TRUE(
        std::all_of(image.begin(), image.begin() + 0x1000, [](uint8_t b) { return b == 0x11; }));
    EXPECT_TRUE(std::all_of(image.begin() + 0x1000, image.begin() + 0x2000,
                            [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(
        std::all_of(image.begin() + 0x2000, image.end(), [](uint8_t b) { return b == 0x22; }));
}

TEST(OverlayImage, ShorterFileReplacesOnlyTheStart) {
    const std::vector<uint8_t> image = OverlayImage(std::vector<uint8_t>(8, 0x00), {{1, 2}}, 0);
    EXPECT_EQ(image, (std::vector<uint8_t>{1, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(OverlayImage, EmptyFileBeyondTheImageGrowsItToTheInsertAddress) {
    const std::vector<uint8_t> image = OverlayImage(std::vector<uint8_t>(2, 0x00), {}, 4);
    EXPECT_EQ(image, (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
}

TEST(ImageChecksum, IsTheByteSumModulo65536) {
    EXPECT_EQ(ImageChecksum({}), 0);
    EXPECT_EQ(ImageChecksum(std::vector<uint8_t>(0x1000, 0xFF)), 0xF000);
    EXPECT_EQ(ImageChecksum(std::vector<uint8_t>(0x101, 0xFF)), (0x101 * 0xFF) & 0xFFFF);
}

class CodeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("korvid-code-file-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(CodeFileTest, ReadsTheWholeFile) {
    const fs::path path = dir_ / "code.bin";
    std::ofstream(path, std::ios::binary) << std::string("\x01\x00\x02", 3);
    const CodeFile file = ReadCodeFile(path.string());
    EXPECT_EQ(file.failure, FileFailure::None);
    EXPECT_EQ(file.bytes, (std::vector<uint8_t>{1, 0, 2}));

    std::ofstream(dir_ / "empty.bin");
    const CodeFile empty = ReadCodeFile((dir_ / "empty.bin").string());
    EXPECT_EQ(empty.failure, FileFailure::None);
    EXPECT_TRUE(empty.bytes.empty());
}

TEST_F(CodeFileTest, UnreadableFilesAreReportedNeverEmpty) {
    EXPECT_EQ(ReadCodeFile((dir_ / "missing.hex").string()).failure, FileFailure::FileNotFound);
    std::ofstream(dir_ / "plain");
#if defined(_WIN32)
    // Windows reports a folder missing on the way as a path not found: a bad path.
    EXPECT_EQ(ReadCodeFile((dir_ / "missing" / "x.hex").string()).failure, FileFailure::BadPath);
    EXPECT_EQ(ReadCodeFile("NUL").failure, FileFailure::InvalidFile);  // a device
#else
    EXPECT_EQ(ReadCodeFile((dir_ / "missing" / "x.hex").string()).failure,
              FileFailure::FileNotFound);
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadCodeFile((dir_ / "pipe").string()).failure, FileFailure::InvalidFile);
#endif
    EXPECT_EQ(ReadCodeFile((dir_ / "plain" / "x.hex").string()).failure, FileFailure::BadPath);
    EXPECT_EQ(ReadCodeFile(dir_.string()).failure, FileFailure::AccessDenied);
}

#if defined(_WIN32)
TEST(FailureFromWindowsError, MapsTheCommonCauses) {
    EXPECT_EQ(FailureFromWindowsError(ERROR_FILE_NOT_FOUND), FileFailure::FileNotFound);
    EXPECT_EQ(FailureFromWindowsError(ERROR_PATH_NOT_FOUND), FileFailure::BadPath);
    EXPECT_EQ(FailureFromWindowsError(ERROR_INVALID_NAME), FileFailure::BadPath);
    EXPECT_EQ(FailureFromWindowsError(ERROR_ACCESS_DENIED), FileFailure::AccessDenied);
    EXPECT_EQ(FailureFromWindowsError(ERROR_TOO_MANY_OPEN_FILES), FileFailure::TooManyOpenFiles);
    EXPECT_EQ(FailureFromWindowsError(ERROR_SHARING_VIOLATION), FileFailure::SharingViolation);
    EXPECT_EQ(FailureFromWindowsError(ERROR_LOCK_VIOLATION), FileFailure::LockViolation);
    EXPECT_EQ(FailureFromWindowsError(ERROR_DISK_FULL), FileFailure::DiskFull);
    EXPECT_EQ(FailureFromWindowsError(ERROR_CRC), FileFailure::HardIo);
    EXPECT_EQ(FailureFromWindowsError(ERROR_NOT_SUPPORTED), FileFailure::Generic);
}
#else
TEST(FailureFromErrno, MapsTheCommonCauses) {
    EXPECT_EQ(FailureFromErrno(ENOENT), FileFailure::FileNotFound);
    EXPECT_EQ(FailureFromErrno(EACCES), FileFailure::AccessDenied);
    EXPECT_EQ(FailureFromErrno(EPERM), FileFailure::AccessDenied);
    EXPECT_EQ(FailureFromErrno(EMFILE), FileFailure::TooManyOpenFiles);
    EXPECT_EQ(FailureFromErrno(ENAMETOOLONG), FileFailure::BadPath);
    EXPECT_EQ(FailureFromErrno(EIO), FileFailure::HardIo);
    EXPECT_EQ(FailureFromErrno(ENOSPC), FileFailure::DiskFull);
    EXPECT_EQ(FailureFromErrno(EINVAL), FileFailure::Generic);
}
#endif

}  // namespace
}  // namespace korvid::core
