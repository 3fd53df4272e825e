#include "db/odbc/OdbcConnection.h"

#include <map>

#include "db/DaoException.h"
#include "db/StoreFileAccess.h"
#include "db/odbc/OdbcCalls.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcEngineSettings.h"
#include "db/odbc/OdbcTarget.h"

class OdbcConnectionTable {
public:
    std::map<std::string, std::weak_ptr<OdbcConnection>> open;
};

OdbcConnectionTable& OdbcConnection::Table() {
    static OdbcConnectionTable table;
    return table;
}

namespace {

SQLHENV Environment() {
    static const SQLHENV env = [] {
        SQLHENV handle = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) {
            ThrowDaoException(DaoError::OdbcConnectFailed,
                              "The ODBC driver manager could not be started.");
        }
        SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return handle;
    }();
    return env;
}

std::string KeyOf(const StoreFileKey& key) {
    return "file:" + std::to_string(key.device) + ":" + std::to_string(key.inode);
}

bool NamesDataSourceOnly(const std::string& connection) {
    return AttributeValue(connection, "Driver").empty() &&
           !AttributeValue(connection, "DSN").empty();
}

}  // namespace

std::vector<OdbcDiagnostic> OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<OdbcDiagnostic> diagnostics;
    OdbcDiagnostic diagnostic;
    for (SQLSMALLINT record = 1; DiagnosticText(handleType, handle, record, diagnostic); ++record) {
        diagnostics.push_back(diagnostic);
    }
    return diagnostics;
}

std::shared_ptr<OdbcConnection> OdbcConnection::Acquire(const StoreFile& file, OdbcAccess access) {
    OdbcTarget target;
    std::string key;
    if (file.format == StoreFormat::Odbc) {
        target = ResolveOdbcTarget(file.path);
        key = target.connection;
        // A file the driver is to open must be there first: some drivers would create it.
        if (target.kind != OdbcDriverKind::Other) {
            if (target.file.empty()) StoreFileNotFound(target.file);
            key = KeyOf(ReadStoreFileStart(target.file).key);
        }
    } else {
        key = KeyOf(file.key);
    }
    key = (access == OdbcAccess::Read ? "read " : "write ") + key;
    auto& open = Table().open;
    if (auto found = open.find(key); found != open.end()) {
        if (auto existing = found->second.lock()) return existing;
    }
    std::shared_ptr<OdbcConnection> connection;
    if (file.format == StoreFormat::Odbc) {
        const std::string string = DriverConnectionString(target, access, EngineLockWait().count());
        const std::string driver = target.driver.empty() ? "DSN=" + target.dsn : target.driver;
        connection = ConnectFirstInstalled({string}, target.shown, {driver}, access);
        if (target.kind == OdbcDriverKind::Sqlite && access == OdbcAccess::Read) {
            connection->CheckSqliteSource(AttributeValue(string, "Database"), target.file);
        }
    } else {
        const EngineLogon logon = CurrentEngineLogon();
        // Only the Access Database Engine's driver opens an ACE (.accdb) file.
        std::vector<std::string> drivers = {kAccessDriver, kAceDriver};
        if (file.format == StoreFormat::Ace) drivers = {kAceDriver};
        std::vector<std::string> connections;
        for (const std::string& driver : drivers) {
            connections.push_back(AccessConnectionString(driver, file.path, logon.systemDB,
                                                         logon.user, logon.password,
                                                         access == OdbcAccess::Read));
        }
        connection = ConnectFirstInstalled(connections, file.path, drivers, access);
    }
    connection->m_key = key;
    open[key] = connection;
    return connection;
}

std::shared_ptr<OdbcConnection> OdbcConnection::ConnectFirstInstalled(
    const std::vector<std::string>& connections, const std::string& name,
    const std::vector<std::string>& drivers, OdbcAccess access) {
    for (const std::string& string : connections) {
        SQLHDBC dbc = SQL_NULL_HDBC;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, Environment(), &dbc))) {
            throw CMemoryException();
        }
        if (access == OdbcAccess::Read) {
            // Honoured by drivers that can open a database for reading only; the driver's own
            // keyword in the string does it for the others the store knows.
            SQLSetConnectAttr(
                dbc, SQL_ATTR_ACCESS_MODE,
                reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_MODE_READ_ONLY)),
                SQL_IS_UINTEGER);
        }
        SQLRETURN rc = SQL_ERROR;
        try {
            rc = DriverConnectText(dbc, string);
        } catch (...) {
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
            throw;
        }
        if (SQL_SUCCEEDED(rc)) {
            return std::shared_ptr<OdbcConnection>(new OdbcConnection(dbc, {}, name, access));
        }
        const std::vector<OdbcDiagnostic> diagnostics = OdbcDiagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        bool missing = false;
        for (const OdbcDiagnostic& d : diagnostics) missing = missing || IsDriverMissing(d);
        if (!missing) ThrowOdbcError(diagnostics, name, OdbcAction::Connect);
        if (NamesDataSourceOnly(string)) {
            const std::string dsn = AttributeValue(string, "DSN");
            for (const OdbcDiagnostic& d : diagnostics) {
                if (d.state != "IM002") continue;
                ThrowDaoException(DaoError::OdbcConnectFailed,
                                  "ODBC--connection to '" + name +
                                      "' failed: no ODBC data source named \"" + dsn +
                                      "\" is defined (data source name not found). Define it "
                                      "(for this program's bitness), or name a driver with "
                                      "Driver= instead.");
            }
        }
    }
    std::string tried;
    for (const std::string& driver : drivers) {
        tried += (tried.empty() ? "\"" : " or \"") + driver + "\"";
    }
    ThrowDaoException(DaoError::OdbcConnectFailed,
                      "ODBC--connection to '" + name + "' failed: no ODBC driver " + tried +
                          " is installed. Install " +
                          (drivers.size() > 1 ? "one of them" : std::string("it")) +
                          " (for this program's bitness) and try again.");
}

void OdbcConnection::CheckSqliteSource(const std::string& uri, const std::string& file) const {
    // A driver that cut the name it was given opened another file, perhaps for writing.
    if (const std::string opened = InfoText(m_dbc, SQL_DATABASE_NAME);
        !opened.empty() && opened != uri) {
        ThrowDaoException(DaoError::InvalidPath,
                          "The database '" + file +
                              "' cannot be opened through the SQLite ODBC driver: the driver "
                              "did not take its whole name. Move it to a folder with a shorter "
                              "path.");
    }
    // The first read: opened for reading only, a file another program left part way through a
    // change fails here (the store will not play back its journal) rather than be changed.
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt))) {
        Fail(SQL_HANDLE_DBC, m_dbc, OdbcAction::Read);
    }
    const SQLRETURN rc = ExecDirectText(stmt, "SELECT count(*) FROM sqlite_master");
    const std::vector<OdbcDiagnostic> diagnostics =
        SQL_SUCCEEDED(rc) ? std::vector<OdbcDiagnostic>{} : OdbcDiagnostics(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (SQL_SUCCEEDED(rc)) return;
    for (const OdbcDiagnostic& d : diagnostics) {
        if (IsSqliteReadOnly(d)) ThrowPartWayThroughChange(file);
    }
    ThrowOdbcError(diagnostics, m_name, OdbcAction::Read);
}

OdbcConnection::OdbcConnection(SQLHDBC dbc, std::string key, std::string name, OdbcAccess access)
    : m_dbc(dbc), m_key(std::move(key)), m_name(std::move(name)) {
    if (const std::string quote = InfoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR); quote.size() == 1) {
        m_quote = quote[0];
    }
    // A source writes nothing: it reads in autocommit mode and so holds no transaction open.
    SQLUSMALLINT capable = SQL_TC_NONE;
    SQLGetInfo(dbc, SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr);
    m_transactions = access == OdbcAccess::Write && capable != SQL_TC_NONE &&
                     SQL_SUCCEEDED(SQLSetConnectAttr(
                         dbc, SQL_ATTR_AUTOCOMMIT,
                         reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_AUTOCOMMIT_OFF)),
                         SQL_IS_UINTEGER));
}

OdbcConnection::~OdbcConnection() {
    if (m_transactions) {
        // Reached without a release only while an error unwinds; keep what can be kept.
        if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT))) {
            SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
        }
    }
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    auto& open = Table().open;
    if (auto found = open.find(m_key); found != open.end() && found->second.expired()) {
        open.erase(found);
    }
}

void OdbcConnection::Release(std::shared_ptr<OdbcConnection>& connection) {
    if (!connection) return;
    std::shared_ptr<OdbcConnection> held = std::move(connection);
    if (held.use_count() != 1) return;
    held->Commit();
    // A read-only user still holds the driver's read transaction: end it too.
    if (held->m_transactions) SQLEndTran(SQL_HANDLE_DBC, held->m_dbc, SQL_COMMIT);
}

std::string OdbcConnection::Quote(const std::string& identifier) const {
    if (m_quote == ' ' || m_quote == '\0') return identifier;
    std::string quoted(1, m_quote);
    for (char c : identifier) {
        if (c == m_quote) quoted += c;
        quoted += c;
    }
    return quoted + m_quote;
}

void OdbcConnection::BeginWrite() {
    if (m_inGroup || !m_transactions) return;
    m_inGroup = true;
    m_groupStart = std::chrono::steady_clock::now();
}

void OdbcConnection::EndWrite(const std::string& table) {
    // The engine's interval as it is now: a change takes effect at once.
    const auto interval = EngineWriteGroupInterval();
    if (m_inGroup && std::chrono::steady_clock::now() - m_groupStart >= interval) {
        Commit(table);
    }
}

void OdbcConnection::Commit(const std::string& table) {
    if (!m_inGroup) return;
    m_inGroup = false;
    if (SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT))) return;
    const std::vector<OdbcDiagnostic> diagnostics = OdbcDiagnostics(SQL_HANDLE_DBC, m_dbc);
    // A group that cannot be committed is undone whole, so the database stays as it was.
    SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
    ThrowOdbcError(diagnostics, m_name, OdbcAction::Commit, table);
}

void OdbcConnection::Fail(SQLSMALLINT handleType, SQLHANDLE handle, OdbcAction action,
                          const std::string& source) const {
    ThrowOdbcError(OdbcDiagnostics(handleType, handle), m_name, action, source);
}
