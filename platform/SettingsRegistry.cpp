#include "platform/SettingsRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstring>

#include "platform/SettingsText.h"

namespace {

// "Software\Org\App\Group..." as its parts: organisation, application and the group path.
struct KeyParts {
    QString organization;
    QString application;
    QString topGroup;
    QString group;
};

std::optional<KeyParts> SplitKey(const std::string& subkey) {
    const QStringList parts = QString::fromLocal8Bit(subkey).split(u'\\', Qt::SkipEmptyParts);
    if (parts.size() < 4 || parts.front().compare(u"Software", Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return KeyParts{parts.at(1), parts.at(2), parts.at(3), parts.mid(3).join(u'/')};
}

std::unique_ptr<QSettings> UserSettings(const KeyParts& key) {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       key.organization, key.application);
}

QString DefaultsPath(const QString& folder, const KeyParts& key) {
    return QDir(folder).filePath(key.organization + u'/' + key.application +
                                 QStringLiteral(".conf"));
}

}  // namespace

SettingsRegistry::SettingsRegistry(QStringList defaultsFolders)
    : m_defaultsFolders(std::move(defaultsFolders)) {}

QStringList SettingsRegistry::ProgramDefaultsFolders() {
#if defined(Q_OS_WIN)
    return {};
#else
    if (QCoreApplication::instance() == nullptr) return {};
    const QDir programs(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(programs.filePath(QStringLiteral(TALLOWMERE_DEFAULTS_FROM_BIN))),
            QDir::cleanPath(programs.filePath(QStringLiteral("share/tallowmere")))};
#endif
}

QString SettingsRegistry::UserFile(const std::string& subkey) const {
#if defined(Q_OS_WIN)
    (void)subkey;
    return {};
#else
    const std::optional<KeyParts> key = SplitKey(subkey);
    return key ? UserSettings(*key)->fileName() : QString();
#endif
}

bool SettingsRegistry::UserHasKey(const std::string& subkey) const {
    const std::optional<KeyParts> key = SplitKey(subkey);
    return key && SettingsGroupExists(*UserSettings(*key), key->topGroup);
}

QString SettingsRegistry::DefaultsFile(const std::string& subkey) const {
    const std::optional<KeyParts> key = SplitKey(subkey);
    if (!key) return {};
    for (const QString& folder : m_defaultsFolders) {
        const QString file = DefaultsPath(folder, *key);
        if (QFileInfo(file).isFile()) return file;
    }
    return {};
}

bool SettingsRegistry::OpenKey(const std::string& subkey) {
    m_settings.reset();
    const std::optional<KeyParts> key = SplitKey(subkey);
    if (!key) return false;
    std::unique_ptr<QSettings> settings = UserSettings(*key);
    if (!SettingsGroupExists(*settings, key->topGroup)) {
        // The user's own setting wins; without one, the program's default stands in.
        const QString defaults = DefaultsFile(subkey);
        if (defaults.isEmpty()) return false;
        settings = std::make_unique<QSettings>(defaults, QSettings::IniFormat);
        if (!SettingsGroupExists(*settings, key->topGroup)) return false;
    }
    m_group = key->group;
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
