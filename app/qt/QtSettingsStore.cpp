#include "QtSettingsStore.h"

#include "version_text.h"

#include <QSettings>

namespace korvid::qt {
namespace {

constexpr const char* kOrganization = "Sortware";
constexpr const char* kApplication = "Vostrel";
constexpr const char* kLanguage = "Language";

}  // namespace

QtSettingsStore::QtSettingsStore(const std::string& libraryName, uint16_t version)
    : group_(QString::fromStdString(libraryName + "/" + workbench::VersionText(version))) {}

std::optional<uint32_t> QtSettingsStore::Read(const char* name) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    bool ok = false;
    // A number comes back as text in a fresh process; toUInt reads both.
    const uint32_t value = settings.value(name).toUInt(&ok);
    return ok ? std::optional<uint32_t>(value) : std::nullopt;
}

std::optional<uint32_t> QtSettingsStore::ReadProgrammer() {
    return Read("Programmer");
}

std::optional<uint32_t> QtSettingsStore::ReadBody() {
    return Read("Body");
}

void QtSettingsStore::WriteSelection(uint32_t programmer, int32_t body) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    settings.setValue("Programmer", programmer);
    // Stored as the 32-bit pattern, so that -1 reads back as a number.
    settings.setValue("Body", static_cast<uint32_t>(body));
    settings.sync();
}

std::optional<std::string> QtSettingsStore::ReadLanguage() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    const QVariant value = settings.value(kLanguage);
    return value.isValid() ? std::optional<std::string>(value.toString().toStdString())
                           : std::nullopt;
}

void QtSettingsStore::WriteLanguage(workbench::Language language) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    settings.setValue(kLanguage, QString::fromLatin1(workbench::LanguageCode(language)));
    settings.sync();
}

}  // namespace korvid::qt
