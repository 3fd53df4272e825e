#pragma once

#include <string>

// The per-user profile of the application: HKEY_CURRENT_USER\Software\<key>\<application>, kept
// through QSettings (configuration files where there is no registry).
class Profile {
public:
    Profile(std::string registryKey, std::string applicationName);

    // The stored text, or the default when the value is absent; reading never writes.
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue) const;
    bool WriteProfileString(const std::string& section, const std::string& entry,
                            const std::string& value);

private:
    std::string m_registryKey;
    std::string m_applicationName;
};
