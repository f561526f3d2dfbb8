#include "report.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

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
    return !style_.quiet && ::isatty(STDERR_FILENO) == 1;
}

ProgressLine::ProgressLine(const Reporter& reporter, std::string label, double expectedSeconds,
                           unsigned expectedSteps, std::string stepName)
    : label_(std::move(label)),
      expectedSeconds_(expectedSeconds),
      expectedSteps_(expectedSteps),
      stepName_(std::move(stepName)) {
    if (!reporter.showsProgress()) {
        return;
    }
    running_ = true;
    painter_ = std::thread([this] {
        const auto start = std::chrono::steady_clock::now();
        for (unsigned frame = 0; running_; ++frame) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            draw(frame, elapsed.count());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    });
}

ProgressLine::~ProgressLine() {
    if (painter_.joinable()) {
        running_ = false;
        painter_.join();
    }
}

void ProgressLine::draw(unsigned frame, double elapsed) const {
    static constexpr char kSpinner[] = "|/-\\";
    std::string line = std::string(1, kSpinner[frame % 4]) + " " + label_;
    char text[160];
    if (expectedSeconds_ > 0) {
        const double share = std::min(elapsed / expectedSeconds_, 0.99);
        std::snprintf(text, sizeof text, "  %.1f s of about %.1f s", elapsed, expectedSeconds_);
        line += text;
        if (expectedSteps_ > 0) {
            std::snprintf(text, sizeof text, ", ~%u/%u %s (estimated)",
                          static_cast<unsigned>(share * expectedSteps_), expectedSteps_,
                          stepName_.c_str());
            line += text;
        }
    } else {
        std::snprintf(text, sizeof text, "  %.1f s", elapsed);
        line += text;
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

}  // namespace korvid::cli
