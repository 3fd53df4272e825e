#pragma once

#include <string>

// A session on the engine's workgroup. There is no security model: the credentials are kept only.
class CDaoWorkspace {
public:
    // Fails with 3028 when the engine's workgroup file is set but does not exist.
    void Create(const std::string& name, const std::string& userName, const std::string& password);
    bool IsOpen() const { return m_open; }
    void Close() { m_open = false; }

    const std::string& GetName() const { return m_name; }
    const std::string& GetUserName() const { return m_userName; }

private:
    bool m_open = false;
    std::string m_name;
    std::string m_userName;
    std::string m_password;
};
