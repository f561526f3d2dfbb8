#include "programming/trace_fields.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace korvid::programming {
namespace {

constexpr size_t kTargetInformationBytes = 256;
constexpr std::string_view kNoJob = "none";

std::string optionStatesText(const uint32_t (&states)[2]) {
    char text[18];
    std::snprintf(text, sizeof text, "%08x,%08x", states[0], states[1]);
    return text;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value, int base = 10) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc{} && end == text.data() + text.size();
}

// Reads the fields of a recorded call, remembering the first one that is missing
// or malformed.
class FieldReader {
public:
    FieldReader(const trace::TraceEvent& event, std::string& error)
        : event_(event), error_(error) {}

    const std::string* text(std::string_view key) {
        const std::string* value = event_.field(key);
        if (value == nullptr) {
            fail(key, "missing");
        }
        return value;
    }
    template <typename Number>
    void number(std::string_view key, Number& value) {
        if (const std::string* t = text(key); t != nullptr && !parseNumber(*t, value)) {
            fail(key, "not a decimal number");
        }
    }
    void optionStates(uint32_t (&states)[2]) {
        const std::string* t = text("optionStates");
        if (t == nullptr) {
            return;
        }
        const size_t comma = t->find(',');
        if (comma == std::string::npos ||
            !parseNumber(std::string_view(*t).substr(0, comma), states[0], 16) ||
            !parseNumber(std::string_view(*t).substr(comma + 1), states[1], 16)) {
            fail("optionStates", "not two hexadecimal words");
        }
    }
    std::optional<std::vector<uint8_t>> bytes(std::string_view key, size_t expectedSize) {
        const std::string* t = text(key);
        if (t == nullptr) {
            return std::nullopt;
        }
        auto value = trace::ParseHexBytes(*t);
        if (!value || value->size() != expectedSize) {
            fail(key, "not " + std::to_string(expectedSize) + " bytes in hexadecimal");
            return std::nullopt;
        }
        return value;
    }
    bool ok() const { return error_.empty(); }

private:
    void fail(std::string_view key, std::string_view why) {
        if (error_.empty()) {
            error_ = "UpdateMCU call: field " + std::string(key) + " " + std::string(why);
        }
    }

    const trace::TraceEvent& event_;
    std::string& error_;
};

}  // namespace

trace::TraceFields UpdateMcuCallFields(const JobRecord* job, uint32_t icpMode, uint32_t toTarget) {
    trace::TraceFields fields{{"icpMode", std::to_string(icpMode)},
                              {"toTarget", std::to_string(toTarget)}};
    if (job == nullptr) {
        fields.push_back({"job", std::string(kNoJob)});
        return fields;
    }
    const auto serialText = reinterpret_cast<const uint8_t*>(job->serialText);
    fields.insert(fields.end(),
                  {{"partIndex", std::to_string(job->partIndex)},
                   {"programArea", std::to_string(job->programArea)},
                   {"optionStates", optionStatesText(job->optionStates)},
                   {"ispMemoryIndex", std::to_string(job->ispMemoryIndex)},
                   {"iapMemoryIndex", std::to_string(job->iapMemoryIndex)},
                   {"hwOptions", std::to_string(job->hwOptions)},
                   {"maxCount", std::to_string(job->maxCount)},
                   {"serialFlags", std::to_string(job->serialFlags)},
                   {"serialAddress", std::to_string(job->serialAddress)},
                   {"serialNumber", std::to_string(job->serialNumber)},
                   {"serialText", trace::HexBytes({serialText, KORVID_SERIAL_TEXT_SIZE})},
                   {"codeLength", std::to_string(job->codeLength)}});
    // The file name is left out: it never reaches the programmer.
    if (job->codeBuffer != nullptr && job->codeLength != 0) {
        fields.push_back({"code", trace::HexBytes({job->codeBuffer, job->codeLength})});
    }
    return fields;
}

trace::TraceFields UpdateMcuReturnFields(const JobRecord* job) {
    if (job == nullptr) {
        return {};
    }
    return {{"serialAddress", std::to_string(job->serialAddress)}};
}

trace::TraceFields DumpReturnFields(uint8_t result, const uint8_t* destination) {
    if (result != RC_OK || destination == nullptr) {
        return {};
    }
    return {{"data", trace::HexBytes({destination, kTargetInformationBytes})}};
}

std::optional<RecordedUpdateMcu> RecordedUpdateMcu::FromCall(const trace::TraceEvent& call,
                                                             std::string& error) {
    error.clear();
    RecordedUpdateMcu recorded;
    FieldReader read(call, error);
    read.number("icpMode", recorded.icpMode_);
    read.number("toTarget", recorded.toTarget_);
    if (const std::string* job = call.field("job"); job != nullptr && *job == kNoJob) {
        return read.ok() ? std::optional(std::move(recorded)) : std::nullopt;
    }
    recorded.hasJob_ = true;
    JobRecord& job = recorded.job_;
    read.number("partIndex", job.partIndex);
    read.number("programArea", job.programArea);
    read.optionStates(job.optionStates);
    read.number("ispMemoryIndex", job.ispMemoryIndex);
    read.number("iapMemoryIndex", job.iapMemoryIndex);
    read.number("hwOptions", job.hwOptions);
    read.number("maxCount", job.maxCount);
    read.number("serialFlags", job.serialFlags);
    read.number("serialAddress", job.serialAddress);
    read.number("serialNumber", job.serialNumber);
    read.number("codeLength", job.codeLength);
    if (auto text = read.bytes("serialText", KORVID_SERIAL_TEXT_SIZE)) {
        std::memcpy(job.serialText, text->data(), KORVID_SERIAL_TEXT_SIZE);
    }
    if (call.field("code") != nullptr) {
        recorded.code_ = read.bytes("code", job.codeLength);
    }
    if (!read.ok()) {
        return std::nullopt;
    }
    return recorded;
}

JobRecord* RecordedUpdateMcu::job() {
    if (!hasJob_) {
        return nullptr;
    }
    job_.codeBuffer = code_ ? code_->data() : nullptr;
    return &job_;
}

}  // namespace korvid::programming
