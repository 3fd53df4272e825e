#pragma once

#include <QSettings>
#include <QStringList>
#include <memory>
#include <string>

#include "db/CurrentUserRegistry.h"

// The current user's registry through QSettings: the registry itself on Windows, per-user
// configuration files elsewhere ("Software\Org\App\Group" becomes Org/App.conf, group Group).
// Where there is no registry, nobody else's installer writes the keys another program reads: a
// key the user's files lack is read from the program's own defaults, files laid out the same way
// in the first of the defaults folders that has the file (the install puts one beside the
// programs).
class SettingsRegistry : public CurrentUserRegistry {
public:
    explicit SettingsRegistry(QStringList defaultsFolders = ProgramDefaultsFolders());

    bool OpenKey(const std::string& subkey) override;
    bool QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) override;
    bool CloseKey() override;

    // The user's own file for a subkey ("" on Windows, where it is the registry).
    QString UserFile(const std::string& subkey) const;
    // Whether the user's own settings hold the subkey (then the defaults are not read).
    bool UserHasKey(const std::string& subkey) const;
    // The program's defaults file for a subkey: the first that exists, or "" when none does.
    QString DefaultsFile(const std::string& subkey) const;
    const QStringList& DefaultsFolders() const { return m_defaultsFolders; }

    // Where the running program keeps its defaults: share/tallowmere beside its bin folder as
    // installed, and share/tallowmere inside the build folder it was built in. None on Windows.
    static QStringList ProgramDefaultsFolders();

private:
    QStringList m_defaultsFolders;
    std::unique_ptr<QSettings> m_settings;
    QString m_group;
};
