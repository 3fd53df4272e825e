#pragma once

#include <cstddef>
#include <string>

// Direct reads of one value under the current user's registry hive.
class CurrentUserRegistry {
public:
    virtual ~CurrentUserRegistry() = default;

    // False when the subkey does not exist.
    virtual bool OpenKey(const std::string& subkey) = 0;
    // Copies a value's bytes, whatever its type, into the buffer and ends them with a zero where
    // they do not end with one. False when the value is absent or does not fit, terminator
    // included.
    virtual bool QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) = 0;
    virtual bool CloseKey() = 0;
};
