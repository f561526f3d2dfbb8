// The last part selection and the display language, remembered per library name
// and version. The path
// "Sortware\Vostrel\<name>\<version>" becomes the settings file Sortware/Vostrel
// with the group "<name>/<version>".
#pragma once

#include "display_language.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace korvid::workbench {

class SelectionStore {
public:
    SelectionStore(const QString& libraryName, uint16_t version);

    // Empty when the value is missing or not a number.
    std::optional<uint32_t> ReadProgrammer() const;
    std::optional<uint32_t> ReadBody() const;

    // Write failures are ignored.
    void Write(uint32_t programmer, int32_t body) const;

    // "Language": "en" or "zh"; empty when missing. Stored as soon as it is chosen.
    std::optional<QString> ReadLanguage() const;
    void WriteLanguage(Language language) const;

private:
    std::optional<uint32_t> Read(const char* name) const;

    QString group_;
};

}  // namespace korvid::workbench
