#include "db/EngineStart.h"
#include "tests/support/ScratchCurrentUser.h"
#include "tests/ui/ProfileSandbox.h"

struct ProfileSandbox::State {
    ScratchCurrentUser hive;
};

ProfileSandbox::ProfileSandbox() : m_state(std::make_unique<State>()) {}

ProfileSandbox::~ProfileSandbox() = default;

void ProfileSandbox::WriteWorkgroupLookup(const std::string& folder) {
    m_state->hive.SetString(kWorkgroupLookupKey, kWorkgroupLookupValue, folder);
}

bool ProfileSandbox::ProfileExists(const std::string& applicationName) const {
    // The settings layer makes the application's key when it first reads it, as the platform's
    // own profile functions do; a profile exists once something is written in it.
    return m_state->hive.KeyHoldsAnything("Software\\Veltrane\\" + applicationName);
}
