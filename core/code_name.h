// The code name of a job: the file name a load gives it, and how a stored one is shown.
#pragma once

#include "korvid.h"

#include <string>
#include <string_view>

namespace korvid::core {

std::string CodeNameOfPath(std::string_view path);
void StoreCodeName(JobRecord& job, std::string_view path);
std::string ShownCodeName(const JobRecord& job);

}  // namespace korvid::core
