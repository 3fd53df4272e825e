#include "platform/SettingsRegistry.h"

#include <QStringList>
#include <cstring>

bool SettingsRegistry::OpenKey(const std::string& subkey) {
    m_settings.reset();
    QStringList parts = QString::fromLocal8Bit(subkey).split(u'\\', Qt::SkipEmptyParts);
    if (parts.size() < 4 || parts.front().compare(u"Software", Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QString organization = parts.at(1);
    const QString application = parts.at(2);
    const QString group = parts.mid(3).join(u'/');
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                organization, application);
    if (!settings->childGroups().contains(parts.at(3))) {
        return false;
    }
    m_group = group;
    m_settings = std::move(settings);
    return true;
}

bool SettingsRegistry::QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) {
    if (!m_settings) return false;
    const QString key = m_group + u'/' + QString::fromLocal8Bit(name);
    const QVariant value = m_settings->value(key);
    if (!value.isValid()) return false;
    const QByteArray bytes = value.toString().toLocal8Bit();
    if (static_cast<std::size_t>(bytes.size()) + 1 > bufferSize) return false;
    std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    buffer[bytes.size()] = '\0';
    return true;
}

bool SettingsRegistry::CloseKey() {
    if (!m_settings) return false;
    m_settings.reset();
    return true;
}
