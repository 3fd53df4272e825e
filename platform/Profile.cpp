#include "platform/Profile.h"

#include <QSettings>
#include <utility>

#include "platform/SettingsText.h"

namespace {

QSettings OpenProfile(const std::string& registryKey, const std::string& applicationName) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLocal8Bit(registryKey), QString::fromLocal8Bit(applicationName));
}

QString ValueKey(const std::string& section, const std::string& entry) {
    return QString::fromLocal8Bit(section) + u'/' + QString::fromLocal8Bit(entry);
}

}  // namespace

Profile::Profile(std::string registryKey, std::string applicationName)
    : m_registryKey(std::move(registryKey)), m_applicationName(std::move(applicationName)) {}

std::string Profile::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue) const {
    QSettings settings = OpenProfile(m_registryKey, m_applicationName);
    const std::optional<QString> value = ReadSettingsText(settings, ValueKey(section, entry));
    if (!value) return defaultValue;
    return value->toLocal8Bit().toStdString();
}

bool Profile::WriteProfileString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
    QSettings settings = OpenProfile(m_registryKey, m_applicationName);
    KeepSettingsTexts(settings);  // writing rewrites the whole file
    settings.setValue(ValueKey(section, entry), QString::fromLocal8Bit(value));
    settings.sync();
    return settings.status() == QSettings::NoError;
}
