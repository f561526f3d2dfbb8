// The remembered selection and language in the user's settings file: the path
// "Sortware\Vostrel\<name>\<version>" becomes the settings file Sortware/Vostrel
// with the group "<name>/<version>".
#pragma once

#include "SettingsStore.h"

#include <QString>

#include <cstdint>
#include <string>

namespace korvid::qt {

class QtSettingsStore final : public workbench::SettingsStore {
public:
    QtSettingsStore(const std::string& libraryName, uint16_t version);

    std::optional<uint32_t> ReadProgrammer() override;
    std::optional<uint32_t> ReadBody() override;
    void WriteSelection(uint32_t programmer, int32_t body) override;
    std::optional<std::string> ReadLanguage() override;
    void WriteLanguage(workbench::Language language) override;

private:
    std::optional<uint32_t> Read(const char* name) const;

    QString group_;
};

}  // namespace korvid::qt
