#include "part_lookup.h"

#include "outcome.h"

#include <strings.h>

namespace korvid::cli {
namespace {

std::string JoinQuoted(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    }
    return text.empty() ? "none" : text;
}

}  // namespace

std::span<const PartInfo> IspCatalogue() {
    PartInfo* parts = nullptr;
    const uint32_t count = GetISPInfo(&parts);
    return {parts, parts == nullptr ? 0 : count};
}

int FindPart(const std::string& name) {
    const auto parts = IspCatalogue();
    std::vector<std::string> names;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (::strcasecmp(parts[i].name, name.c_str()) == 0) {
            return static_cast<int>(i);
        }
        names.emplace_back(parts[i].name);
    }
    throw CommandFailure(ExitStatus::BadSetting,
                         "unknown part \"" + name + "\"; valid parts: " + JoinQuoted(names));
}

uint64_t OptionBits(const PartInfo& part, const std::vector<std::string>& names) {
    uint64_t bits = 0;
    for (const std::string& name : names) {
        bool found = false;
        for (uint32_t k = 0; k < part.optionCount; ++k) {
            if (::strcasecmp(part.options[k].name, name.c_str()) == 0) {
                bits |= uint64_t{1} << k;
                found = true;
            }
        }
        if (!found) {
            throw CommandFailure(
                ExitStatus::BadSetting,
                "unknown option \"" + name + "\" for " + part.name +
                    "; valid options: " + JoinQuoted(OptionNames(part, ~uint64_t{0})));
        }
    }
    return bits;
}

std::vector<std::string> OptionNames(const PartInfo& part, uint64_t states) {
    std::vector<std::string> names;
    for (uint32_t k = 0; k < part.optionCount && k < 64; ++k) {
        if ((states >> k) & 1u) {
            names.emplace_back(part.options[k].name);
        }
    }
    return names;
}

}  // namespace korvid::cli
