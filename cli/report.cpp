#include "report.h"

#include "terminal.h"

#include <cstdio>

namespace korvid::cli {

std::string JsonLine(const Json& object) {
    return object.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Reporter::Reporter(OutputStyle style) : style_(style) {}

void Reporter::result(const Json& object, const std::string& humanText) const {
    if (style_.json) {
        std::printf("%s\n", JsonLine(object).c_str());
    } else if (!style_.quiet && !humanText.empty()) {
        std::printf("%s\n", humanText.c_str());
    }
    std::fflush(stdout);
}

void Reporter::detail(const std::string& text) const {
    if (style_.verbose) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

void Reporter::note(const std::string& text) const {
    if (!style_.quiet) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

int Reporter::failure(const std::string& command, const CommandFailure& failure) const {
    const int status = static_cast<int>(failure.status());
    if (style_.json) {
        Json object{{"command", command}, {"ok", false}, {"exitStatus", status}};
        if (failure.result()) {
            object["resultCode"] = *failure.result();
        }
        object["message"] = failure.what();
        std::printf("%s\n", JsonLine(object).c_str());
        std::fflush(stdout);
    } else {
        std::string line = "korvid " + command + ": " + failure.what();
        if (failure.result()) {
            char code[32];
            std::snprintf(code, sizeof code, " (result code %u, 0x%02X)", *failure.result(),
                          *failure.result());
            line += code;
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return status;
}

bool Reporter::showsProgress() const {
    return !style_.quiet && StderrIsTerminal();
}

}  // namespace korvid::cli
