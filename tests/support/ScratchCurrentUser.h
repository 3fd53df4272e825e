#pragma once

#include <string>

// Windows only: for its lifetime, HKEY_CURRENT_USER in this process is a fresh scratch key, so
// tests read and write the real registry API without touching the user's own settings.
class ScratchCurrentUser {
public:
    ScratchCurrentUser();
    ~ScratchCurrentUser();
    ScratchCurrentUser(const ScratchCurrentUser&) = delete;
    ScratchCurrentUser& operator=(const ScratchCurrentUser&) = delete;

    // Sets a string value under a subkey of the scratch hive, making the subkey.
    void SetString(const std::string& subkey, const std::string& name, const std::string& value);
    // The registry's value types, by their numbers (REG_EXPAND_SZ...), for callers that do not
    // include the Windows headers.
    enum ValueType : unsigned long {
        String = 1,
        ExpandString = 2,
        Binary = 3,
        Number = 4,
        StringList = 7
    };
    // Sets a value of any type to the bytes given.
    void SetValue(const std::string& subkey, const std::string& name, ValueType type,
                  const std::string& bytes);
    void MakeKey(const std::string& subkey);
    bool KeyExists(const std::string& subkey) const;
    // Whether the key is there and holds a value or a key of its own.
    bool KeyHoldsAnything(const std::string& subkey) const;

private:
    void* m_key = nullptr;  // HKEY
    std::string m_name;
};
