// Turning a command line's file, part and option choices into a job record,
// through the same load steps as the dialog's "Load".
#pragma once

#include "code_format.h"
#include "korvid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvid::cli {

enum class LoadArea { Code, Data };  // "AP (Code)" at 0, "IAP (Data)" at an address

struct JobChoices {
    std::string file;
    // --format: how the file is read; by its extension when not given. A file read
    // as raw bytes by its extension is refused when its content is Intel HEX text,
    // one read as Intel HEX by its extension when its content is not.
    std::optional<korvid::core::CodeFormat> format;
    std::optional<std::string> part;   // required unless file is a project
    std::vector<std::string> options;  // replaces a project's options when given
    LoadArea area = LoadArea::Code;
    std::optional<uint32_t> address;  // data area start; the part's iapStart by default
    bool truncate = false;
    std::string hwwidl = "0";
    std::string hwps = "0";
};

struct Job {
    JobRecord record{};
    uint32_t icpFlag = 0;
    std::vector<uint8_t> image;  // record.codeBuffer points here
    std::string source;          // what the dialog's status field would show
    bool fromProject = false;
    bool truncated = false;
    uint32_t insertAddress = 0;  // where the file's image starts (0 for a project)
};

// Loads choices.file (Intel HEX, binary or KPJ by --format or by extension) and
// fills a job. Every refusal throws a CommandFailure before any programmer is touched.
Job LoadJob(const JobChoices& choices);

}  // namespace korvid::cli
