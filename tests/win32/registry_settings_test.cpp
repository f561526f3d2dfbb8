// The remembered selection and language in the registry of the current user.
#include "RegistrySettingsStore.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace korvid::win32 {
namespace {

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ui_test::DeleteRegistryKey(key_); }
    void TearDown() override { ui_test::DeleteRegistryKey(key_); }

    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    const std::string name_ = "Vostrel 8051 ISP(R5) 编程器 test";
    const std::wstring key_ = RegistrySettingsStore::KeyPath(name_, 0x0710);
};

TEST_F(RegistrySettingsTest, KeyIsNamedByLibraryAndVersion) {
    EXPECT_EQ(RegistrySettingsStore::KeyPath("Vostrel 8051 ISP(R5) 编程器", 0x0710),
              L"Sortware\\Vostrel\\Vostrel 8051 ISP(R5) \x7F16\x7A0B\x5668\\7.10");
    EXPECT_EQ(RegistrySettingsStore::KeyPath("X", 0x0A05), L"Sortware\\Vostrel\\X\\A.05");
}

TEST_F(RegistrySettingsTest, SelectionIsTwo32BitValues) {
    RegistrySettingsStore store(name_, 0x0710);
    EXPECT_EQ(store.ReadProgrammer(), std::nullopt);  // first start: no key
    EXPECT_EQ(store.ReadBody(), std::nullopt);
    store.WriteSelection(1, 37);
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Programmer"), 1);
    EXPECT_EQ(ui_test::RegistryNumber(key_, L"Body"), 37);
    EXPECT_EQ(store.ReadProgrammer(), 1u);
    EXPECT_EQ(store.ReadBody(), 37u);
    // No part selected: -1 as its 32 bits.
    store.WriteSelection(0, -1);
    EXPECT_EQ(store.ReadBody(), 0xFFFFFFFFu);
}

TEST_F(RegistrySettingsTest, ValuesOfAnotherTypeAreNotNumbers) {
    WriteRaw(L"Programmer", REG_SZ, L"1", 4);
    const uint64_t wide = 5;
    WriteRaw(L"Body", REG_QWORD, &wide, sizeof wide);
    RegistrySettingsStore store(name_, 0x0710);
    EXPECT_EQ(store.ReadProgrammer(), std::nullopt);
    EXPECT_EQ(store.ReadBody(), std::nullopt);
}

TEST_F(RegistrySettingsTest, LanguageIsRememberedAsItsCode) {
    RegistrySettingsStore store(name_, 0x0710);
    EXPECT_EQ(store.ReadLanguage(), std::nullopt);
    store.WriteLanguage(workbench::Language::English);
    EXPECT_EQ(store.ReadLanguage(), "en");
    store.WriteLanguage(workbench::Language::Chinese);
    EXPECT_EQ(store.ReadLanguage(), "zh");
    // A string without its terminator, as another program may write it.
    WriteRaw(L"Language", REG_SZ, L"en", 4);
    EXPECT_EQ(store.ReadLanguage(), "en");
    // A short text is handed on as written (the model decides what it means);
    // one longer than any code is none.
    WriteRaw(L"Language", REG_SZ, L"fr", 6);
    EXPECT_EQ(store.ReadLanguage(), "fr");
    WriteRaw(L"Language", REG_SZ, L"xx-long-text", 26);
    EXPECT_EQ(store.ReadLanguage(), std::nullopt);
}

}  // namespace
}  // namespace korvid::win32
