#include "cli/Win32CurrentUserRegistry.h"

#include <windows.h>

Win32CurrentUserRegistry::~Win32CurrentUserRegistry() { CloseKey(); }

bool Win32CurrentUserRegistry::OpenKey(const std::string& subkey) {
    CloseKey();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    m_key = key;
    return true;
}

bool Win32CurrentUserRegistry::QueryValue(const std::string& name, char* buffer,
                                          std::size_t bufferSize) {
    if (m_key == nullptr || bufferSize == 0) return false;
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bufferSize);
    const LONG rc = RegQueryValueExA(static_cast<HKEY>(m_key), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer), &size);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // A stored string need not end with its terminator; one must still fit.
    if (size > 0 && buffer[size - 1] == '\0') return true;
    if (size >= bufferSize) return false;
    buffer[size] = '\0';
    return true;
}

bool Win32CurrentUserRegistry::CloseKey() {
    if (m_key == nullptr) return false;
    const LONG rc = RegCloseKey(static_cast<HKEY>(m_key));
    m_key = nullptr;
    return rc == ERROR_SUCCESS;
}
