#include "intel_hex_message.h"

#include <gtest/gtest.h>

namespace korvid::core {
namespace {

TEST(IntelHexErrorMessage, NamesTheFileTheLineAndTheProblemInBothLanguages) {
    const OwnedTextPair message =
        IntelHexErrorMessage({2, IntelHexProblem::BadChecksum}, "/tmp/固件/bad.hex");
    EXPECT_EQ(message.english,
              "Bad Intel HEX file \"/tmp/固件/bad.hex\",\nline 2: checksum error. Nothing was "
              "loaded !");
    EXPECT_EQ(message.chinese,
              "Intel HEX 文件 \"/tmp/固件/bad.hex\" 有误,\n第 2 行: 校验和错误。未载入任何数据 !");
}

TEST(IntelHexErrorMessage, EveryProblemHasItsOwnTextAndAPathIsNeverReadAsATemplate) {
    const std::pair<IntelHexProblem, const char*> problems[] = {
        {IntelHexProblem::NotHexDigit, "a character that is not a hexadecimal digit"},
        {IntelHexProblem::OddDigitCount, "an odd number of hexadecimal digits"},
        {IntelHexProblem::LengthMismatch, "the length byte does not match the record"},
        {IntelHexProblem::BadChecksum, "checksum error"},
        {IntelHexProblem::UnknownRecordType, "unknown record type"}};
    for (const auto& [problem, text] : problems) {
        const OwnedTextPair message = IntelHexErrorMessage({12345, problem}, "{line}{problem}.hex");
        EXPECT_EQ(message.english, std::string("Bad Intel HEX file \"{line}{problem}.hex\",\nline "
                                               "12345: ") +
                                       text + ". Nothing was loaded !");
        EXPECT_NE(message.chinese.find("\"{line}{problem}.hex\""), std::string::npos);
        EXPECT_NE(message.chinese.find("第 12345 行"), std::string::npos);
    }
}

}  // namespace
}  // namespace korvid::core
