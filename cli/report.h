// Where a command's output goes: human text or one JSON object per result on
// stdout, notes on stderr, and a progress line on a terminal.
#pragma once

#include "hex_number.h"
#include "outcome.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace korvid::cli {

// A result object; its keys are printed in the order they were set.
using Json = nlohmann::ordered_json;

// object as one line of JSON. Bytes that are not valid UTF-8 (a file name in
// another encoding) become U+FFFD, so the line is always valid JSON.
std::string JsonLine(const Json& object);

struct OutputStyle {
    bool json = false;
    bool quiet = false;
    bool verbose = false;
};

class Reporter {
public:
    explicit Reporter(OutputStyle style);

    const OutputStyle& style() const { return style_; }
    // A result: its JSON object in JSON mode, otherwise the human text (unless quiet).
    void result(const Json& object, const std::string& humanText) const;
    // Extra detail on stderr with --verbose.
    void detail(const std::string& text) const;
    // A note on stderr (not with --quiet).
    void note(const std::string& text) const;
    // A failed command; returns its exit status.
    int failure(const std::string& command, const CommandFailure& failure) const;
    // Whether progress lines may be drawn (stderr is a terminal, not quiet).
    bool showsProgress() const;

private:
    OutputStyle style_;
};

// A progress line redrawn on stderr while a long library call runs: a spinner,
// the elapsed time and, when the duration is known, the expected share done.
// The library reports no progress of its own, so the share is estimated by time.
class ProgressLine {
public:
    ProgressLine(const Reporter& reporter, std::string label, double expectedSeconds = 0,
                 unsigned expectedSteps = 0, std::string stepName = {});
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    void draw(unsigned frame, double elapsed) const;

    std::string label_;
    double expectedSeconds_;
    unsigned expectedSteps_;
    std::string stepName_;
    std::atomic<bool> running_{false};
    std::thread painter_;
};

}  // namespace korvid::cli
