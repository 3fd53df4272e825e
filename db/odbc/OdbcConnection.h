#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "db/StoreFileCheck.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcTarget.h"

// One connection to an ODBC data source, shared by every recordset that opens the same database
// for the same use. A source is read on a read-only connection of its own, so that nothing it
// does can change the file and no commit of a destination on the same file closes its cursors.
// A destination's writes are grouped into transactions (manual commit) that commit at least
// every write-group interval and when the last user releases the connection.
class OdbcConnection {
public:
    // An "ODBC;" name connects with its own string; a Jet or ACE file through an Access driver.
    // A database the string shows to be a file is checked before connecting: a missing file is
    // 3024 and no driver is given the chance to create it.
    static std::shared_ptr<OdbcConnection> Acquire(const StoreFile& file, OdbcAccess access);
    // Connects with the first driver of a list that is installed; the error names every driver
    // tried when none is, and a data source that is not defined as such.
    static std::shared_ptr<OdbcConnection> ConnectFirstInstalled(
        const std::vector<std::string>& connections, const std::string& name,
        const std::vector<std::string>& drivers, OdbcAccess access = OdbcAccess::Write);
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
    OdbcConnection(SQLHDBC dbc, std::string key, std::string name, OdbcAccess access);
    static class OdbcConnectionTable& Table();
    // Before a source is read through the SQLite driver: the driver opened the file it was
    // given, and the file can be read without changing it.
    void CheckSqliteSource(const std::string& uri, const std::string& file) const;

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
