#include "tests/support/ScratchCurrentUser.h"

#include <windows.h>

#include <stdexcept>

namespace {

constexpr const char* kScratchParent = "Software\\Tallowmere test scratch";

HKEY Create(HKEY parent, const std::string& subkey, DWORD options) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, subkey.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot make registry key " + subkey);
    }
    return key;
}

// The key, or null where it is not there.
HKEY OpenForReading(HKEY parent, const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

}  // namespace

ScratchCurrentUser::ScratchCurrentUser()
    : m_name(std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(GetTickCount())) {
    // Made before the override, under the real hive. Not volatile: the registry refuses a lasting
    // key under a volatile one, and the settings layer makes lasting keys. The destructor removes
    // it.
    HKEY parent = Create(HKEY_CURRENT_USER, kScratchParent, REG_OPTION_NON_VOLATILE);
    RegCloseKey(parent);
    m_key = Create(HKEY_CURRENT_USER, m_name, REG_OPTION_NON_VOLATILE);
    if (RegOverridePredefKey(HKEY_CURRENT_USER, static_cast<HKEY>(m_key)) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot override HKEY_CURRENT_USER");
    }
}

ScratchCurrentUser::~ScratchCurrentUser() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeA(static_cast<HKEY>(m_key), nullptr);
    RegCloseKey(static_cast<HKEY>(m_key));
    RegDeleteKeyA(HKEY_CURRENT_USER, m_name.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);  // fails while another scratch key is there
}

void ScratchCurrentUser::MakeKey(const std::string& subkey) {
    RegCloseKey(Create(static_cast<HKEY>(m_key), subkey, REG_OPTION_NON_VOLATILE));
}

void ScratchCurrentUser::SetString(const std::string& subkey, const std::string& name,
                                   const std::string& value) {
    SetValue(subkey, name, String, std::string(value.c_str(), value.size() + 1));
}

static_assert(ScratchCurrentUser::ExpandString == REG_EXPAND_SZ &&
              ScratchCurrentUser::Binary == REG_BINARY && ScratchCurrentUser::Number == REG_DWORD &&
              ScratchCurrentUser::StringList == REG_MULTI_SZ &&
              ScratchCurrentUser::String == REG_SZ);

void ScratchCurrentUser::SetValue(const std::string& subkey, const std::string& name,
                                  ValueType type, const std::string& bytes) {
    HKEY key = Create(static_cast<HKEY>(m_key), subkey, REG_OPTION_NON_VOLATILE);
    const LONG rc =
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot set registry value " + name);
}

bool ScratchCurrentUser::KeyExists(const std::string& subkey) const {
    const HKEY key = OpenForReading(static_cast<HKEY>(m_key), subkey);
    if (key == nullptr) return false;
    RegCloseKey(key);
    return true;
}

bool ScratchCurrentUser::KeyHoldsAnything(const std::string& subkey) const {
    const HKEY key = OpenForReading(static_cast<HKEY>(m_key), subkey);
    if (key == nullptr) return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                     &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && (subkeys > 0 || values > 0);
}
