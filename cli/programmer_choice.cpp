#include "programmer_choice.h"

#include "programmer_list.h"

#include <cstdlib>

namespace korvid::cli {

std::optional<KorvidProgrammerInfo> FindProgrammer(const std::vector<KorvidProgrammerInfo>& list,
                                                   const std::string& device) {
    for (const KorvidProgrammerInfo& info : list) {
        if (device == info.location || (info.serial[0] != '\0' && device == info.serial)) {
            return info;
        }
    }
    return std::nullopt;
}

std::optional<KorvidProgrammerInfo> ChooseProgrammer(const std::optional<std::string>& choice) {
    const std::vector<KorvidProgrammerInfo> list = core::ListProgrammers();
    // Without --device the library takes its selection from KORVID_DEVICE.
    const char* environment = std::getenv("KORVID_DEVICE");
    const std::optional<std::string> device = choice ? choice
                                              : environment != nullptr && *environment != '\0'
                                                  ? std::optional<std::string>(environment)
                                                  : std::nullopt;
    if (!device) {
        return list.empty() ? std::nullopt : std::optional(list.front());
    }
    const std::optional<KorvidProgrammerInfo> found = FindProgrammer(list, *device);
    if (!found || KorvidSelectProgrammer(device->c_str()) != RC_OK) {
        std::string attached;
        for (const KorvidProgrammerInfo& info : list) {
            attached += (attached.empty() ? "" : ", ") + std::string(info.location) +
                        (info.serial[0] != '\0' ? " (" + std::string(info.serial) + ")" : "");
        }
        throw CommandFailure(ExitStatus::NoDevice,
                             "no programmer found with location or serial \"" + *device +
                                 "\"; attached: " + (attached.empty() ? "none" : attached),
                             RC_NO_DEVICE);
    }
    return found;
}

Json ProgrammerFields(const std::optional<KorvidProgrammerInfo>& programmer) {
    if (!programmer) {
        return Json{{"location", nullptr}, {"programmerSerial", nullptr}};
    }
    return Json{{"location", programmer->location}, {"programmerSerial", programmer->serial}};
}

}  // namespace korvid::cli
