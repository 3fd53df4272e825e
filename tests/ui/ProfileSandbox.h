#pragma once

#include <memory>
#include <string>

// Where a window test's profile and registry live, so the user's own are never touched: a scratch
// folder of QSettings files, or on Windows a scratch HKEY_CURRENT_USER in the real registry.
class ProfileSandbox {
public:
    ProfileSandbox();
    ~ProfileSandbox();
    ProfileSandbox(const ProfileSandbox&) = delete;
    ProfileSandbox& operator=(const ProfileSandbox&) = delete;

    // The workgroup lookup value, naming the given folder.
    void WriteWorkgroupLookup(const std::string& folder);
    // Whether the application's profile (HKEY_CURRENT_USER\Software\Veltrane\<name>) exists.
    bool ProfileExists(const std::string& applicationName) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
