#pragma once

#include <string>

#include "db/CurrentUserRegistry.h"

// The current user's registry hive read directly through the Win32 registry API, so the console
// program needs no Qt on Windows.
class Win32CurrentUserRegistry : public CurrentUserRegistry {
public:
    ~Win32CurrentUserRegistry() override;

    bool OpenKey(const std::string& subkey) override;
    bool QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) override;
    bool CloseKey() override;

private:
    void* m_key = nullptr;  // HKEY
};
