#include "Catalogue.h"

#include "cp936_text.h"

namespace korvid::workbench {

Catalogue LibraryCatalogue() {
    char name[KORVID_DISPLAY_NAME_SIZE] = {};
    Catalogue catalogue;
    GetAPInfo(name, &catalogue.version);
    catalogue.libraryName = core::Cp936FieldToUtf8(name, sizeof name);
    PartInfo* isp = nullptr;
    PartInfo* icp = nullptr;
    const uint32_t ispCount = GetISPInfo(&isp);
    const uint32_t icpCount = GetICPInfo(&icp);
    catalogue.isp = {isp, isp != nullptr ? ispCount : 0};
    catalogue.icp = {icp, icp != nullptr ? icpCount : 0};
    return catalogue;
}

}  // namespace korvid::workbench
