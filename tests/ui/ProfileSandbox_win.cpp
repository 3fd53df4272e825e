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
    return m_state->hive.KeyExists("Software\\Veltrane\\" + applicationName);
}
