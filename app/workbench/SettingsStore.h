// Where the workbench remembers the last part selection and the display language:
// per library name and version, under "Sortware\Vostrel\<name>\<version>" (the
// registry of the current user on Windows, the user's settings file on Linux).
#pragma once

#include "display_language.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvid::workbench {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Empty when the value is missing or not a number.
    virtual std::optional<uint32_t> ReadProgrammer() = 0;
    virtual std::optional<uint32_t> ReadBody() = 0;
    // "Programmer" and "Body" as 32-bit values; failures are ignored.
    virtual void WriteSelection(uint32_t programmer, int32_t body) = 0;

    // The remembered language code ("en" or "zh" as written); empty when missing.
    virtual std::optional<std::string> ReadLanguage() = 0;
    virtual void WriteLanguage(Language language) = 0;
};

}  // namespace korvid::workbench
