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
    // The value's bytes whatever its type: a number or a binary value reads as the text its
    // bytes spell, a list of strings as its first string.
    DWORD size = static_cast<DWORD>(bufferSize);
    if (RegQueryValueExA(static_cast<HKEY>(m_key), name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        return false;
    }
    // A stored value need not end with a terminator; one must still fit.
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
