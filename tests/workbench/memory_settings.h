// Remembered settings for tests: kept in memory, with what was read and written.
#pragma once

#include "SettingsStore.h"

#include <optional>
#include <string>

namespace korvid::workbench::testing {

class MemorySettings : public SettingsStore {
public:
    std::optional<uint32_t> ReadProgrammer() override { return programmer; }
    std::optional<uint32_t> ReadBody() override { return body; }
    void WriteSelection(uint32_t newProgrammer, int32_t newBody) override {
        programmer = newProgrammer;
        body = static_cast<uint32_t>(newBody);
        ++selectionWrites;
    }
    std::optional<std::string> ReadLanguage() override { return language; }
    void WriteLanguage(Language newLanguage) override {
        language = std::string(LanguageCode(newLanguage));
    }

    std::optional<uint32_t> programmer;
    std::optional<uint32_t> body;
    std::optional<std::string> language;
    int selectionWrites = 0;
};

}  // namespace korvid::workbench::testing
