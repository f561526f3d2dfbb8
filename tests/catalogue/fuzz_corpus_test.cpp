// Every kept fuzz input (seeds and crash regressions) goes through the reader, in
// memory and through the file exports, as part of the normal suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/kpj_reader.h"
#include "korvid.h"

namespace korvid::catalogue::kpj {
namespace {

TEST(KpjFuzzCorpus, EveryKeptInputIsReadWithoutHarm) {
    size_t inputs = 0;
    for (const auto& item : std::filesystem::directory_iterator(KORVID_KPJ_CORPUS)) {
        if (!item.is_regular_file()) {
            continue;
        }
        SCOPED_TRACE(item.path().filename().string());
        ++inputs;
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};

        MemorySource source(bytes);
        JobRecord job{};
        uint32_t icpFlag = 0;
        const uint8_t info = readProjectInfo(builtInCatalogue(), source, job, icpFlag);
        const uint8_t exported = LoadKPJInfo(item.path().string().c_str(), &job, &icpFlag);
        EXPECT_EQ(exported, info);
        if (info == RC_OK) {
            std::vector<uint8_t> code(job.codeLength);
            EXPECT_EQ(LoadKPJBuffer(item.path().string().c_str(), code.data()), RC_OK);
            EXPECT_TRUE(std::equal(code.begin(), code.end(), bytes.begin()));
        }
    }
    EXPECT_GT(inputs, 0u);
}

}  // namespace
}  // namespace korvid::catalogue::kpj
