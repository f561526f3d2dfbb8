// Code names: the name a load gives the job (JobRecord.codeName, written into
// project files) and the name a project shows. One rule for the dialog program and
// the command-line tool on every system: a code name is stored in code page 936,
// as the design's Windows program stores it, and a stored name is read as UTF-8
// when it is well-formed UTF-8 (projects of earlier versions), otherwise as code
// page 936.
#pragma once

#include "korvid.h"

#include <string>
#include <string_view>

namespace korvid::core {

// The code name a load gives the job for a file at path (UTF-8, as korvid.exe with
// its UTF-8 code page and the Windows dialog after converting its wide names have
// it; on Linux the file system's bytes): the file name without its directory, cut
// at every separator of the system ("/"; on Windows also "\" and a drive's ":"),
// in code page 936, where a character the code page cannot hold becomes "?". A
// name that is not well-formed UTF-8 (only on Linux) is taken to be in code page
// 936 already and kept as it is. At most KORVID_CODE_NAME_SIZE - 1 bytes, never
// splitting a double-byte character.
std::string CodeNameOfPath(std::string_view path);

// Stores CodeNameOfPath(path) into job.codeName, NUL-terminated, the rest zeroed.
void StoreCodeName(JobRecord& job, std::string_view path);

// A stored code name as shown: well-formed UTF-8 as it is, otherwise decoded from
// code page 936. Always well-formed UTF-8.
std::string ShownCodeName(std::string_view stored);

// The job's codeName, up to its NUL, as shown.
std::string ShownCodeName(const JobRecord& job);

}  // namespace korvid::core
