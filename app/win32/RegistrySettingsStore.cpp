#include "RegistrySettingsStore.h"

#include "version_text.h"
#include "wide_text.h"

#include <windows.h>

namespace korvid::win32 {
namespace {

constexpr const wchar_t* kProgrammerValue = L"Programmer";
constexpr const wchar_t* kBodyValue = L"Body";
constexpr const wchar_t* kLanguageValue = L"Language";
constexpr DWORD kLanguageChars = 8;

// The key, opened (and created when missing) for one read or write.
class SettingsKey {
public:
    explicit SettingsKey(const std::wstring& path) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~SettingsKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string_view libraryName, uint16_t version)
    : keyPath_(KeyPath(libraryName, version)) {}

std::wstring RegistrySettingsStore::KeyPath(std::string_view libraryName, uint16_t version) {
    return L"Sortware\\Vostrel\\" + core::WideFromUtf8(libraryName) + L"\\" +
           core::WideFromUtf8(workbench::VersionText(version));
}

std::optional<uint32_t> RegistrySettingsStore::ReadNumber(const wchar_t* name) const {
    const SettingsKey key(keyPath_);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

void RegistrySettingsStore::WriteNumber(const wchar_t* name, uint32_t value) const {
    const SettingsKey key(keyPath_);
    if (key.get() == nullptr) {
        return;
    }
    const DWORD data = value;
    RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof data);
}

std::optional<uint32_t> RegistrySettingsStore::ReadProgrammer() {
    return ReadNumber(kProgrammerValue);
}

std::optional<uint32_t> RegistrySettingsStore::ReadBody() {
    return ReadNumber(kBodyValue);
}

void RegistrySettingsStore::WriteSelection(uint32_t programmer, int32_t body) {
    WriteNumber(kProgrammerValue, programmer);
    WriteNumber(kBodyValue, static_cast<uint32_t>(body));
}

std::optional<std::string> RegistrySettingsStore::ReadLanguage() {
    const SettingsKey key(keyPath_);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    DWORD type = 0;
    wchar_t text[kLanguageChars] = {};
    DWORD size = sizeof text - sizeof(wchar_t);  // room for a terminator the value may lack
    if (RegQueryValueExW(key.get(), kLanguageValue, nullptr, &type, reinterpret_cast<BYTE*>(text),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return core::Utf8FromWide(std::wstring_view(text, wcsnlen(text, kLanguageChars)));
}

void RegistrySettingsStore::WriteLanguage(workbench::Language language) {
    const SettingsKey key(keyPath_);
    if (key.get() == nullptr) {
        return;
    }
    const std::wstring code = core::WideFromUtf8(workbench::LanguageCode(language));
    RegSetValueExW(key.get(), kLanguageValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                   static_cast<DWORD>((code.size() + 1) * sizeof(wchar_t)));
}

}  // namespace korvid::win32
