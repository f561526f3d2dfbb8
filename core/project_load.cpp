#include "project_load.h"

namespace korvid::core {

LoadedProject LoadProject(const std::string& path) {
    LoadedProject project;
    project.record.partIndex = -1;
    project.result =
        KorvidLoadKPJFooter(path.c_str(), &project.record, &project.icpFlag, &project.footer);
    project.record.codeName[KORVID_CODE_NAME_SIZE - 1] = '\0';
    project.record.codeBuffer = nullptr;
    if (project.result != RC_OK) {
        return project;
    }
    project.code.assign(project.record.codeLength, 0xFF);
    uint8_t unused = 0;  // the library is never handed a null buffer
    project.result =
        LoadKPJBuffer(path.c_str(), project.code.empty() ? &unused : project.code.data());
    if (project.result != RC_OK) {
        project.codeReadFailed = true;
        project.code.clear();
    }
    return project;
}

}  // namespace korvid::core
