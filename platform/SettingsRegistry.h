#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "db/CurrentUserRegistry.h"

// The current user's registry through QSettings: the registry itself on Windows, per-user
// configuration files elsewhere ("Software\Org\App\Group" becomes Org/App.conf, group Group).
class SettingsRegistry : public CurrentUserRegistry {
public:
    bool OpenKey(const std::string& subkey) override;
    bool QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) override;
    bool CloseKey() override;

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_group;
};
