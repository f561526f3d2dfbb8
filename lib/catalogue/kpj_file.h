// The project file operations behind SaveKPJ, LoadKPJInfo and LoadKPJBuffer,
// over the built-in catalogue and real files.
#pragma once

#include <cstdint>

#include "korvid.h"
#include "korvid_ext.h"

namespace korvid::catalogue::kpj {

// Writes job as a project file. RC_OK; kRcInvalidJob for a job the footer cannot
// describe (nothing is touched then); RC_FILE_OPEN when the file cannot be created
// or fully written, in which case a file that stood there keeps its old contents.
uint8_t saveProjectFile(const char* path, const JobRecord& job, bool icp);

// Checks the project file and fills job, icpFlag and, when given, footer (see
// readProjectInfo). A success is remembered for loadProjectCode.
uint8_t loadProjectInfo(const char* path, JobRecord& job, uint32_t& icpFlag,
                        KorvidProjectFooter* footer = nullptr);

// Copies the code image of the project that loadProjectInfo accepted last into
// buffer, which holds that project's codeLength bytes. Refuses with
// RC_KPJ_CODE_LENGTH when path is not that project or its image no longer has that
// length; otherwise the file is checked again as loadProjectInfo checks it.
uint8_t loadProjectCode(const char* path, uint8_t* buffer);

}  // namespace korvid::catalogue::kpj
