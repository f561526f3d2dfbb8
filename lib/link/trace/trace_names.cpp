#include "link/trace/trace_names.h"

#include <charconv>
#include <cstdio>
#include <utility>

namespace korvid::trace {
namespace {

template <typename Value, size_t N>
using NameTable = std::pair<Value, std::string_view>[N];

template <typename Value, size_t N>
std::string_view nameOf(const NameTable<Value, N>& table, Value value) {
    for (const auto& [v, name] : table) {
        if (v == value) {
            return name;
        }
    }
    return "unknown";
}

template <typename Value, size_t N>
std::optional<Value> valueOf(const NameTable<Value, N>& table, std::string_view name) {
    for (const auto& [v, n] : table) {
        if (n == name) {
            return v;
        }
    }
    return std::nullopt;
}

using platform::OpenFailure;
using platform::ReadResult;
using platform::TransferResult;

constexpr NameTable<OpenFailure, 5> kOpenResults = {{OpenFailure::None, "ok"},
                                                    {OpenFailure::NotFound, "not-found"},
                                                    {OpenFailure::AccessDenied, "access-denied"},
                                                    {OpenFailure::Busy, "busy"},
                                                    {OpenFailure::Other, "other"}};

constexpr NameTable<ReadResult, 3> kReadResults = {
    {ReadResult::Report, "report"}, {ReadResult::Timeout, "timeout"}, {ReadResult::Error, "error"}};

constexpr NameTable<TransferResult, 5> kTransferResults = {
    {TransferResult::Done, "done"},
    {TransferResult::StartFailed, "start-failed"},
    {TransferResult::Timeout, "timeout"},
    {TransferResult::Failed, "failed"},
    {TransferResult::DeviceFault, "device-fault"}};

constexpr NameTable<platform::Pipe, 2> kPipes = {{platform::Pipe::Read, "read"},
                                                 {platform::Pipe::Write, "write"}};

constexpr NameTable<bool, 2> kSuccess = {{true, "ok"}, {false, "failed"}};
constexpr NameTable<bool, 2> kYesNo = {{true, "yes"}, {false, "no"}};

}  // namespace

std::string_view OpenResultName(OpenFailure failure) {
    return nameOf(kOpenResults, failure);
}
std::optional<OpenFailure> ParseOpenResult(std::string_view name) {
    return valueOf(kOpenResults, name);
}

std::string_view ReadResultName(ReadResult result) {
    return nameOf(kReadResults, result);
}
std::optional<ReadResult> ParseReadResult(std::string_view name) {
    return valueOf(kReadResults, name);
}

std::string_view TransferResultName(TransferResult result) {
    return nameOf(kTransferResults, result);
}
std::optional<TransferResult> ParseTransferResult(std::string_view name) {
    return valueOf(kTransferResults, name);
}

std::string_view PipeName(platform::Pipe pipe) {
    return nameOf(kPipes, pipe);
}
std::optional<platform::Pipe> ParsePipe(std::string_view name) {
    return valueOf(kPipes, name);
}

std::string IdName(uint16_t id) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", id);
    return text;
}

std::optional<uint16_t> ParseId(std::string_view name) {
    uint16_t id = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), id, 16);
    if (name.size() != 4 || ec != std::errc{} || end != name.data() + name.size()) {
        return std::nullopt;
    }
    return id;
}

std::string_view SuccessName(bool succeeded) {
    return nameOf(kSuccess, succeeded);
}
std::optional<bool> ParseSuccess(std::string_view name) {
    return valueOf(kSuccess, name);
}

std::string_view YesNoName(bool yes) {
    return nameOf(kYesNo, yes);
}
std::optional<bool> ParseYesNo(std::string_view name) {
    return valueOf(kYesNo, name);
}

}  // namespace korvid::trace
