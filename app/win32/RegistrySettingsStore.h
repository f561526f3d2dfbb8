// The workbench's remembered selection and display language in the registry of
// the current user: the key "Sortware\Vostrel\<library name>\<version>" with the
// 32-bit values "Programmer" and "Body" and the string value "Language" ("en"
// or "zh").
#pragma once

#include "SettingsStore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvid::win32 {

class RegistrySettingsStore final : public workbench::SettingsStore {
public:
    // libraryName is UTF-8; version as the library gives it (0x0710 gives "7.10").
    RegistrySettingsStore(std::string_view libraryName, uint16_t version);

    // The key below HKEY_CURRENT_USER.
    static std::wstring KeyPath(std::string_view libraryName, uint16_t version);

    std::optional<uint32_t> ReadProgrammer() override;
    std::optional<uint32_t> ReadBody() override;
    void WriteSelection(uint32_t programmer, int32_t body) override;
    std::optional<std::string> ReadLanguage() override;
    void WriteLanguage(workbench::Language language) override;

private:
    std::optional<uint32_t> ReadNumber(const wchar_t* name) const;
    void WriteNumber(const wchar_t* name, uint32_t value) const;

    std::wstring keyPath_;
};

}  // namespace korvid::win32
