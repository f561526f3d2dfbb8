// Code names through the tool: kpj save stores the file's name in code page 936,
// kpj show shows a stored name (code page 936 or the UTF-8 of earlier versions) as
// UTF-8, in human text and in JSON that parses back. The same cases run under wine.
#include "code_name.h"
#include "korvid.h"
#include "korvid_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace korvid::cli::test {
namespace {

using ::testing::HasSubstr;

const std::string kHexText = ":1000000002010000000000000000000000000000ED\n:00000001FF\n";
const std::string kTestProgram = "测试程序.hex";
const std::string kTestProgramCp936 = "\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2.hex";

std::filesystem::path NativePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The code name bytes in a project's footer.
std::string StoredName(const std::string& project) {
    const std::vector<unsigned char> file = ReadBytes(project);
    if (file.size() < 53) {
        return "<no footer>";
    }
    const std::size_t footer = (file[file.size() - 2] << 8) | file[file.size() - 1];
    const std::size_t start = file.size() - footer;
    return std::string(file.begin() + static_cast<std::ptrdiff_t>(start + 17),
                       file.begin() + static_cast<std::ptrdiff_t>(start + 17 + file[start + 16]));
}

class CodeNameTest : public ::testing::Test {
protected:
    void SetUp() override { dir = ScratchDir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // A HEX file at dir/relative (folders made as needed); its path.
    std::string HexFile(const std::string& relative) {
        const std::string path = dir + "/" + relative;
        std::filesystem::create_directories(NativePath(path).parent_path());
        WriteBytes(path, std::vector<unsigned char>(kHexText.begin(), kHexText.end()));
        return path;
    }

    // The project saved from file; its path.
    std::string Save(const std::string& file) {
        const std::string project = dir + "/saved.kpj";
        const Outcome save = RunKorvid({"kpj", "save", file, "-p", "Part A4", "-o", project});
        EXPECT_EQ(save.exitStatus, 0) << save.err;
        return project;
    }

    // The project of a job with this code name (and one byte of code for Part A4),
    // saved by the library.
    std::string ProjectOf(JobRecord job) {
        const std::string project = dir + "/job.kpj";
        uint8_t code[1] = {0x02};
        job.partIndex = 3;
        job.codeLength = 1;
        job.codeBuffer = code;
        EXPECT_EQ(SaveKPJ(project.c_str(), &job, 0), RC_OK);
        return project;
    }

    // The project of a job whose code name holds these bytes.
    std::string ProjectNamed(const std::string& bytes) {
        JobRecord job{};
        std::memcpy(job.codeName, bytes.data(), bytes.size());
        return ProjectOf(job);
    }

    // The code name kpj show shows, checked alike in its human and its JSON output.
    std::string Shown(const std::string& project) {
        const Outcome json = RunKorvid({"--json", "kpj", "show", project});
        EXPECT_EQ(json.exitStatus, 0) << json.err;
        const std::string name = nlohmann::json::parse(json.out)["codeName"];
        const Outcome human = RunKorvid({"kpj", "show", project});
        EXPECT_THAT(human.out, HasSubstr("\nCode name:             \"" + name + "\"\n"));
        return name;
    }

    std::string dir;
};

TEST_F(CodeNameTest, ChineseAsciiAndMixedNamesAreStoredInCodePage936AndShownAsNamed) {
    struct Case {
        std::string name;
        std::string stored;
    };
    const Case cases[] = {
        {kTestProgram, kTestProgramCp936},
        {"blink.hex", "blink.hex"},
        {"固件-v2 (final).hex", "\xB9\xCC\xBC\xFE-v2 (final).hex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string project = Save(HexFile("固件 目录/" + c.name));
        EXPECT_EQ(StoredName(project), c.stored);
        EXPECT_EQ(Shown(project), c.name);
        // Programming the project names it in the source too.
        const Outcome program = RunKorvid({"--json", "program", project, "-p", "Part A4"}, kHid);
        ASSERT_EQ(program.exitStatus, 0) << program.err;
        EXPECT_EQ(nlohmann::json::parse(program.out)["source"],
                  project + " (Code Name: \"" + c.name + "\")");
    }
}

TEST_F(CodeNameTest, ACharacterOutsideCodePage936IsStoredAsAQuestionMark) {
    const std::string project =
        Save(HexFile("a\xED\x95\x9C"
                     "b\xF0\x9F\x98\x80"
                     "c.hex"));
    EXPECT_EQ(StoredName(project), "a?b?c.hex");
    EXPECT_EQ(Shown(project), "a?b?c.hex");
}

TEST_F(CodeNameTest, ProjectsInCodePage936AndInUtf8AreBothShownAlike) {
    EXPECT_EQ(Shown(ProjectNamed(kTestProgramCp936)), kTestProgram);   // the design's program
    EXPECT_EQ(Shown(ProjectNamed(kTestProgram)), kTestProgram);        // earlier versions
    EXPECT_EQ(Shown(ProjectNamed("\xB2\xE2\xFF")), "测\xEF\xBF\xBD");  // not quite either
}

TEST_F(CodeNameTest, ALongNameIsCutBetweenCharactersInTheJobAndInTheProject) {
    // No file system here holds a name this long (its UTF-8 has 602 bytes): the job
    // gets its name as a load gives it, the library saves it, the tool shows it.
    std::string name = "ab";
    for (int i = 0; i < 200; ++i) {
        name += "测";
    }
    JobRecord job{};
    core::StoreCodeName(job, dir + "/" + name);
    EXPECT_EQ(std::strlen(job.codeName), 258u);  // 2 + 128 double-byte characters
    const std::string project = ProjectOf(job);
    EXPECT_EQ(StoredName(project).size(), 254u);  // the footer's 255 bytes, whole characters
    std::string shown = "ab";
    for (int i = 0; i < 126; ++i) {
        shown += "测";
    }
    EXPECT_EQ(Shown(project), shown);
}

TEST_F(CodeNameTest, TheNameIsCutFromItsFolderAtEverySeparator) {
#if defined(_WIN32)
    // The scratch folder is a Windows path such as C:\users\...\Temp\...: a drive,
    // backslashes, and here a forward slash as well.
    const std::string file = HexFile("固件 目录/" + kTestProgram);
    std::string backslashed = file;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    ASSERT_EQ(backslashed.substr(1, 2), ":\\");
    EXPECT_EQ(StoredName(Save(backslashed)), kTestProgramCp936);
    EXPECT_EQ(StoredName(Save(file)), kTestProgramCp936);
#else
    // Backslashes and colons belong to a Linux file name.
    EXPECT_EQ(StoredName(Save(HexFile("Z:\\tmp\\" + kTestProgram))),
              "Z:\\tmp\\" + kTestProgramCp936);
#endif
}

}  // namespace
}  // namespace korvid::cli::test
