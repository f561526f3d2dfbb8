// Reading trace files in tests: the whole text, the event lines, the events.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/trace/trace_event.h"

namespace korvid::testing {

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Every line of the text, comments included, without line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The lines that carry events.
inline std::vector<std::string> EventLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    for (std::string& line : Lines(ReadText(path))) {
        if (!trace::IsTraceComment(line)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

inline std::vector<trace::TraceEvent> Events(const std::filesystem::path& path) {
    std::vector<trace::TraceEvent> events;
    for (const std::string& line : EventLines(path)) {
        std::string error;
        auto event = trace::ParseTraceLine(line, error);
        if (!event) {
            ADD_FAILURE() << path << ": " << error << "\n  " << line;
            continue;
        }
        events.push_back(std::move(*event));
    }
    return events;
}

}  // namespace korvid::testing
