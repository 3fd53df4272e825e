#include "db/odbc/OdbcConnection.h"

#include <map>

#include "db/DaoException.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcEngineSettings.h"

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

std::string KeyOf(const StoreFile& file) {
    if (file.format == StoreFormat::Odbc) return file.path;
    return "file:" + std::to_string(file.key.device) + ":" + std::to_string(file.key.inode);
}

// The driver named in a connection string, for the message when it is not installed.
std::string DriverOf(const std::string& connection) {
    std::string driver = AttributeValue(connection, "Driver");
    return driver.empty() ? "DSN=" + AttributeValue(connection, "DSN") : driver;
}

}  // namespace

std::vector<OdbcDiagnostic> OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<OdbcDiagnostic> diagnostics;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR text[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &native, text, sizeof text, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        diagnostics.push_back({reinterpret_cast<const char*>(state), static_cast<int32_t>(native),
                               reinterpret_cast<const char*>(text)});
    }
    return diagnostics;
}

std::shared_ptr<OdbcConnection> OdbcConnection::Acquire(const StoreFile& file) {
    const std::string key = KeyOf(file);
    auto& open = Table().open;
    if (auto found = open.find(key); found != open.end()) {
        if (auto existing = found->second.lock()) return existing;
    }
    std::shared_ptr<OdbcConnection> connection;
    if (file.format == StoreFormat::Odbc) {
        const auto wait = EngineLockWait().count();
        const std::string string = DriverConnectionString(file.path, wait);
        connection = ConnectFirstInstalled({string}, OdbcDisplayName(string), {DriverOf(string)});
    } else {
        const EngineLogon logon = CurrentEngineLogon();
        std::vector<std::string> connections;
        for (const char* driver : {kAccessDriver, kAceDriver}) {
            connections.push_back(AccessConnectionString(driver, file.path, logon.systemDB,
                                                         logon.user, logon.password));
        }
        connection = ConnectFirstInstalled(connections, file.path, {kAccessDriver, kAceDriver});
    }
    connection->m_key = key;
    open[key] = connection;
    return connection;
}

std::shared_ptr<OdbcConnection> OdbcConnection::ConnectFirstInstalled(
    const std::vector<std::string>& connections, const std::string& name,
    const std::vector<std::string>& drivers) {
    for (const std::string& string : connections) {
        SQLHDBC dbc = SQL_NULL_HDBC;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, Environment(), &dbc))) {
            throw CMemoryException();
        }
        SQLCHAR out[1024];
        SQLSMALLINT outLength = 0;
        const SQLRETURN rc = SQLDriverConnect(
            dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(string.c_str())),
            static_cast<SQLSMALLINT>(string.size()), out, sizeof out, &outLength,
            SQL_DRIVER_NOPROMPT);
        if (SQL_SUCCEEDED(rc)) {
            return std::shared_ptr<OdbcConnection>(new OdbcConnection(dbc, {}, name));
        }
        const std::vector<OdbcDiagnostic> diagnostics = OdbcDiagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        bool missing = false;
        for (const OdbcDiagnostic& d : diagnostics) missing = missing || IsDriverMissing(d);
        if (!missing) ThrowOdbcError(diagnostics, name, OdbcAction::Connect);
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

OdbcConnection::OdbcConnection(SQLHDBC dbc, std::string key, std::string name)
    : m_dbc(dbc), m_key(std::move(key)), m_name(std::move(name)) {
    SQLCHAR quote[4] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length))) {
        m_quote = static_cast<char>(quote[0]);
    }
    SQLUSMALLINT capable = SQL_TC_NONE;
    SQLGetInfo(dbc, SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr);
    m_transactions = capable != SQL_TC_NONE &&
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
