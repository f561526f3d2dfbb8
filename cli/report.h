// Where a command's output goes: human text or one JSON object per result on
// stdout, notes on stderr.
#pragma once

#include "hex_number.h"
#include "outcome.h"

#include <nlohmann/json.hpp>

#include <string>

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

}  // namespace korvid::cli
