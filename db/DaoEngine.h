#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Result codes. On Windows SCODE is the platform's own (LONG) and its headers may already have
// made S_OK a macro of the same value.
#ifdef _WIN32
using SCODE = long;
#else
using SCODE = int32_t;
#endif
#ifndef S_OK
inline constexpr SCODE S_OK = 0;
#endif

// The engine object: the workgroup file and the engine-wide settings every connection takes.
class CDaoDBEngine {
public:
    SCODE SetSystemDB(const std::string& path);
    const std::string& GetSystemDB() const { return m_systemDB; }

    // How long a connection waits for a lock another program holds before it reports it.
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }
    std::chrono::milliseconds LockWait() const { return m_lockWait; }

    // How long writes are grouped into one implicit transaction; zero commits every update.
    void SetWriteGroupInterval(std::chrono::milliseconds interval) { m_writeGroup = interval; }
    std::chrono::milliseconds WriteGroupInterval() const { return m_writeGroup; }

    // The logon of the workspace in use, for a store that hands it to a database of its own.
    void SetLogon(const std::string& user, const std::string& password) {
        m_user = user;
        m_password = password;
    }
    const std::string& LogonUser() const { return m_user; }
    const std::string& LogonPassword() const { return m_password; }

private:
    std::string m_systemDB;
    std::string m_user;
    std::string m_password;
    std::chrono::milliseconds m_lockWait{5000};
    std::chrono::milliseconds m_writeGroup{500};
};

void AfxDaoInit();
CDaoDBEngine* AfxDaoGetEngine();
void AfxDaoTerm();
// Raises the engine error for a failed result code.
void AfxDaoCheck(SCODE scode);

// The settings in force: those of the started engine, or the defaults while it is not started.
const CDaoDBEngine& CurrentEngineSettings();
