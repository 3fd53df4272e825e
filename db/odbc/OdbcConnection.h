#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "db/StoreFileCheck.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcError.h"

// One connection to an ODBC data source, shared by every recordset open on the same database.
// Writes are grouped into transactions (manual commit) that commit at least every write-group
// interval and when the last user releases the connection.
class OdbcConnection {
public:
    // An "ODBC;" name connects with its own string; a Jet or ACE file through an Access driver.
    static std::shared_ptr<OdbcConnection> Acquire(const StoreFile& file);
    // Connects with the first driver of a list that is installed; the error names every driver
    // tried when none is.
    static std::shared_ptr<OdbcConnection> ConnectFirstInstalled(
        const std::vector<std::string>& connections, const std::string& name,
        const std::vector<std::string>& drivers);
    // Lets go of a connection; the last user's release commits pending writes (and may fail).
    static void Release(std::shared_ptr<OdbcConnection>& connection);

    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    SQLHDBC Handle() const { return m_dbc; }
    const std::string& Name() const { return m_name; }  // the file or data source, for messages
    // An identifier quoted the way the driver reads one.
    std::string Quote(const std::string& identifier) const;

    // Brackets one write: begins the group, then commits it once it is old enough.
    void BeginWrite();
    void EndWrite(const std::string& table);
    void Commit(const std::string& table = {});

    [[noreturn]] void Fail(SQLSMALLINT handleType, SQLHANDLE handle, OdbcAction action,
                           const std::string& source = {}) const;

private:
    OdbcConnection(SQLHDBC dbc, std::string key, std::string name);
    static class OdbcConnectionTable& Table();

    SQLHDBC m_dbc;
    std::string m_key;
    std::string m_name;
    char m_quote = '"';
    bool m_transactions = true;
    bool m_inGroup = false;
    std::chrono::steady_clock::time_point m_groupStart;

    friend class OdbcConnectionTable;
};

// Every diagnostic record a failed call left on its handle.
std::vector<OdbcDiagnostic> OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);
