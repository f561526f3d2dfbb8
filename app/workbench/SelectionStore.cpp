#include "SelectionStore.h"

#include "version_text.h"

#include <QSettings>

namespace korvid::workbench {
namespace {

constexpr const char* kOrganization = "Sortware";
constexpr const char* kApplication = "Vostrel";
constexpr const char* kLanguage = "Language";

}  // namespace

SelectionStore::SelectionStore(const QString& libraryName, uint16_t version)
    : group_(libraryName + "/" + QString::fromStdString(VersionText(version))) {}

std::optional<uint32_t> SelectionStore::Read(const char* name) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    bool ok = false;
    // A number comes back as text in a fresh process; toUInt reads both.
    const uint32_t value = settings.value(name).toUInt(&ok);
    return ok ? std::optional<uint32_t>(value) : std::nullopt;
}

std::optional<uint32_t> SelectionStore::ReadProgrammer() const {
    return Read("Programmer");
}

std::optional<uint32_t> SelectionStore::ReadBody() const {
    return Read("Body");
}

void SelectionStore::Write(uint32_t programmer, int32_t body) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    settings.setValue("Programmer", programmer);
    // Stored as the 32-bit pattern, so that -1 reads back as a number.
    settings.setValue("Body", static_cast<uint32_t>(body));
    settings.sync();
}

std::optional<QString> SelectionStore::ReadLanguage() const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    const QVariant value = settings.value(kLanguage);
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

void SelectionStore::WriteLanguage(Language language) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(group_);
    settings.setValue(kLanguage, QString::fromLatin1(LanguageCode(language)));
    settings.sync();
}

}  // namespace korvid::workbench
