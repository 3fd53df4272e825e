#include <QSettings>
#include <cstdlib>
#include <filesystem>

#include "tests/support/TempDir.h"
#include "tests/ui/ProfileSandbox.h"

struct ProfileSandbox::State {
    TempDir config;
};

ProfileSandbox::ProfileSandbox() : m_state(std::make_unique<State>()) {
    const std::string dir = m_state->config.Path().string();
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    // QSettings reads the variable once per process; the explicit path is what keeps each test
    // apart from the others and from the real profile.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir));
}

ProfileSandbox::~ProfileSandbox() = default;

void ProfileSandbox::WriteWorkgroupLookup(const std::string& folder) {
    const std::filesystem::path settings = m_state->config.Path() / "VB and VBA Program Settings";
    std::filesystem::create_directories(settings);
    WriteFileBytes((settings / "zrb.ini.conf").string(),
                   "[OptionsDataFile]\nVeltraneSystemPath=" + folder + "\n");
}

bool ProfileSandbox::ProfileExists(const std::string& applicationName) const {
    return std::filesystem::exists(m_state->config.Path() / "Veltrane" /
                                   (applicationName + ".conf"));
}
