#include "intel_hex_message.h"

#include "messages.h"

#include <string>

namespace korvid::core {
namespace {

const TextPair& ProblemText(IntelHexProblem problem) {
    switch (problem) {
        case IntelHexProblem::NotHexDigit:
            return Messages::intelHexNotHexDigit;
        case IntelHexProblem::OddDigitCount:
            return Messages::intelHexOddDigitCount;
        case IntelHexProblem::LengthMismatch:
            return Messages::intelHexLengthMismatch;
        case IntelHexProblem::BadChecksum:
            return Messages::intelHexBadChecksum;
        case IntelHexProblem::UnknownRecordType:
            break;
    }
    return Messages::intelHexUnknownRecordType;
}

// The template with each {name} replaced once; a path that contains "{line}" is
// left as it is, since every field is filled in one pass from the left.
std::string Fill(std::string_view text, std::string_view path, const std::string& line,
                 std::string_view problem) {
    std::string filled;
    while (!text.empty()) {
        const std::size_t open = text.find('{');
        const std::size_t close = text.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            break;
        }
        filled.append(text.substr(0, open));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        filled.append(name == "path" ? path : name == "line" ? std::string_view(line) : problem);
        text.remove_prefix(close + 1);
    }
    filled.append(text);
    return filled;
}

}  // namespace

OwnedTextPair IntelHexErrorMessage(const IntelHexError& error, std::string_view path) {
    const std::string line = std::to_string(error.line);
    const TextPair& problem = ProblemText(error.problem);
    return {Fill(Messages::intelHexRefused.english, path, line, problem.english),
            Fill(Messages::intelHexRefused.chinese, path, line, problem.chinese)};
}

}  // namespace korvid::core
