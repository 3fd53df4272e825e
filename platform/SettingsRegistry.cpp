#include "platform/SettingsRegistry.h"

#include <QStringList>
#include <cstring>

#include "platform/SettingsText.h"

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
    if (!SettingsGroupExists(*settings, parts.at(3))) {
        return false;
    }
    m_group = group;
    m_settings = std::move(settings);
    return true;
}

bool SettingsRegistry::QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) {
    if (!m_settings) return false;
    const QString key = m_group + u'/' + QString::fromLocal8Bit(name);
    const std::optional<QString> value = ReadSettingsText(*m_settings, key);
    if (!value) return false;
    const QByteArray bytes = value->toLocal8Bit();
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
